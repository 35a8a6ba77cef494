// Enabling and titling a record window's menu and toolbar items by their
// tags, for the record it shows, and naming the main menu's relationship
// and attach items when the window becomes the main one.
#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

#include "app/ui/Localized.h"
#include "browser/BrowserMenuTitles.h"
#include "browser/ReportExport.h"
#include "browser/ui/BrowserController.h"
#include "document/ui/DocumentMenus.h"
#include "model/OBJERecord.h"
#include "model/ReportRecord.h"

namespace kl {

namespace {

// Tags the browser answers that belong to no other group of commands.
std::optional<DocumentMenuAnswer> validateRecordTag(int tag, const std::shared_ptr<GEDCOMRecord>& record,
                                                    const BrowserController& browser) {
    const bool report = record && record->isType("_RPT");
    switch (tag) {
    case BrowserController::kExportReportTag:
        if (auto stored = std::dynamic_pointer_cast<ReportRecord>(record))
            return DocumentMenuAnswer{true, ReportExport::menuTitle(*stored)};
        return DocumentMenuAnswer{false, std::nullopt};
    case BrowserController::kShowSourceTag: return DocumentMenuAnswer{record && !report, "Edit GEDCOM Source"};
    case 3013:
    case 3014:
    case 4204: return DocumentMenuAnswer{true, std::nullopt};
    case BrowserController::kCopyMultimediaTag: {
        auto object = std::dynamic_pointer_cast<OBJERecord>(record);
        bool isURL = false;
        return DocumentMenuAnswer{object && object->mmFileFullPathOrURL(&isURL).has_value(), std::nullopt};
    }
    case BrowserController::kMergeTwoRecordsTag: {
        const auto title = browser.mergeTwoRecordsTitle();
        return DocumentMenuAnswer{title.has_value(), title};
    }
    case BrowserController::kAhnentafelReportTag:
    case BrowserController::kAllRelativesReportTag: return DocumentMenuAnswer{record && record->isType("INDI"), std::nullopt};
    case BrowserController::kPlaceEventsReportTag: return DocumentMenuAnswer{record && record->isType("_PLC"), std::nullopt};
    default: return std::nullopt;
    }
}

QAction* findItem(const QList<QAction*>& actions, int tag) {
    for (QAction* action : actions) {
        if (QMenu* sub = action->menu()) {
            if (QAction* found = findItem(sub->actions(), tag)) return found;
        } else if (!action->isSeparator() && action->data().toInt() == tag) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

bool BrowserController::validateMenuTag(int tag, QAction* item) {
    std::optional<DocumentMenuAnswer> answer = validateMenuTag(tag);
    if (!answer) answer = validateEditingTag(tag);
    if (!answer) answer = validateRecordTag(tag, record_, *this);
    if (!answer && documentMenus_) answer = documentMenus_->validateMenuTag(tag);
    if (!answer) return true;
    if (item && answer->title) item->setText(localized(answer->title->c_str()));
    return answer->enabled;
}

void BrowserController::validateMenu(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        if (QMenu* sub = action->menu()) validateMenu(*sub);
        else if (!action->isSeparator() && action->data().toInt() != 0)
            action->setEnabled(validateMenuTag(action->data().toInt(), action));
    }
}

void BrowserController::retitleMainMenu() {
    const QList<QAction*> menus = menuBar()->actions();
    for (const auto& [tag, title] : BrowserMenuTitles::maintainTitles(menuFacts()))
        if (QAction* item = findItem(menus, tag)) item->setText(localized(title.c_str()));
}

void BrowserController::changeEvent(QEvent* event) {
    GEDCOMWindowController::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isPrinting_) maintainMenus();
}

}  // namespace kl
