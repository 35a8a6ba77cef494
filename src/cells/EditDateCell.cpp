#include "cells/EditDateCell.h"

#include <cstdint>
#include <limits>

#include "cells/CellPane.h"
#include "dates/DateBridge.h"
#include "foundation/MainThread.h"
#include "model/GEDCOMObject.h"
#include "model/INDIRecord.h"
#include "model/ModelAlerts.h"

namespace kl {

namespace {

std::string replaced(std::string text, const std::string& value) {
    if (auto at = text.find("%@"); at != std::string::npos) text.replace(at, 2, value);
    return text;
}

}  // namespace

EditDateCell::EditDateCell(const CellSeed& seed) : EditValueCell(seed, "EditDateCell") {
    showText(userDisplayDate(structureContents()));
}

EditDateCell::~EditDateCell() { Dispatcher::current().cancelDeferred(this); }

void EditDateCell::updateStructure() {
    const std::string shown = userDisplayDate(structureContents());
    if (shown != fieldText()) showText(shown);
}

int EditDateCell::endStructureEditing(bool mayRetry) {
    if (!changed()) return EditSet;
    setChanged(false);
    const std::string typed = fieldText();
    std::string normalised;
    if (!typed.empty()) {
        bool valid = false;
        normalised = validateDateString(typed, valid);
        if (!valid) {
            const std::string reason = normalised;
            bool revert = true;
            if (mayRetry) {
                revert = ModelAlerts::current()->runAlert(ModelAlerts::Style::Critical, kInvalidDate, reason,
                                                          {kTryAgain, kRevert}) == 1;
            } else {
                ModelAlerts::current()->runAlert(ModelAlerts::Style::Critical, kInvalidDate, reason + kRevertOnClose,
                                                 {kRevert});
            }
            if (!revert) {
                // Leaving the field again checks the entry again.
                Dispatcher::current().postDeferred(this, [this] {
                    setChanged(true);
                    if (view()) view()->takeFocus();
                });
                return EditRefused;
            }
            showText(userDisplayDate(structureContents()));
            return EditSet;
        }
    }
    auto stored = structure();
    if (stored && stored->contents() == normalised) {
        showText(userDisplayDate(normalised));
        return EditSet;
    }
    if (!stored && normalised.empty()) return EditSet;
    showText(userDisplayDate(normalised));
    return editStructure(normalised, std::string(kUndoName));
}

std::vector<EditValueCell::MenuItem> EditDateCell::menuItems() const {
    std::vector<MenuItem> items;
    const std::string date = fieldText();
    SDN earliest = 0, latest = 0;
    if (!sdnRangeForDate(date, earliest, latest)) {
        static const char* const conversions[] = {"Convert to Gregorian -> %@", "Convert to Julian -> %@",
                                                  "Convert to Hebrew -> %@", "Convert to French Republic -> %@"};
        for (int calendar = 1; calendar <= 4; ++calendar)
            if (auto converted = convertDateToCalendar(date, calendar))
                items.push_back({replaced(conversions[calendar - 1], *converted), kConvertTag});
        static const char* const days[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                           "Thursday", "Friday", "Saturday"};
        if (const int day = dayOfWeekForDate(date); earliest == latest && day >= 1 && day <= 7)
            items.push_back({std::string("Day of the Week -> ") + days[day - 1], 0, false, false});
        if (auto person = std::dynamic_pointer_cast<INDIRecord>(theRecord())) {
            const std::string born = person->birthDate();
            if (!born.empty()) {
                std::int64_t minimum = 0, maximum = 0;
                daySpanBetweenDates(born, date, minimum, maximum);
                if (minimum != std::numeric_limits<std::int64_t>::max() && (minimum != 0 || maximum != 0))
                    items.push_back({replaced("Copy age -> %@", spanTextBetweenSdns(minimum, maximum, 2)), kCopyAgeTag});
            }
        }
        items.push_back({"Open Tempolin with This Date", kTempolinTag, false, true, true});
    }
    for (auto& item : EditValueCell::menuItems()) items.push_back(std::move(item));
    return items;
}

void EditDateCell::cellMenuAction(int tag, const std::string& title) {
    if (tag == kConvertTag || tag == kCopyAgeTag) {
        const auto arrow = title.find("->");
        if (arrow == std::string::npos) {
            beep();
            return;
        }
        const std::string value = title.size() > arrow + 3 ? title.substr(arrow + 3) : std::string();
        if (tag == kCopyAgeTag) {
            if (view()) view()->writeStringToPasteboard(value);
            return;
        }
        showText(value);
        setChanged(true);
        endStructureEditing(true);
        return;
    }
    if (tag == kTempolinTag) {
        // Tempolin reads the stored form, whatever the display format.
        bool valid = false;
        const std::string typed = fieldText();
        const std::string normalised = typed.empty() ? typed : validateDateString(typed, valid);
        if (pane()) pane()->openTempolin(valid ? normalised : typed);
        return;
    }
    EditValueCell::cellMenuAction(tag, title);
}

}  // namespace kl
