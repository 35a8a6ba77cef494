// A record dragged onto another, or moved onto it by a script, is attached
// through the operation named after its type. Each class answers a table of
// those names, so kinds add their own by extending their base's table.
#include "foundation/FormatText.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelAlerts.h"

namespace kl {

namespace {

constexpr const char* kNoDropHandler = "A record of type %@ cannot be attached to this record.";

}  // namespace

std::string GEDCOMRecord::dropOperationName(std::string_view type, bool control) {
    std::string name = "drop";
    name.append(type);
    if (control) name.append("Ctrl");
    name.append("Record:");
    return name;
}

const GEDCOMRecord::DropTable& GEDCOMRecord::baseDropTable() {
    static const DropTable table{
        {"dropSOURRecord:", &GEDCOMRecord::dropSOURRecord}, {"dropNOTERecord:", &GEDCOMRecord::dropNOTERecord},
        {"dropOBJERecord:", &GEDCOMRecord::dropOBJERecord}, {"drop_LOGRecord:", &GEDCOMRecord::drop_LOGRecord},
        {"dropSUBMRecord:", &GEDCOMRecord::dropSUBMRecord},
    };
    return table;
}

const GEDCOMRecord::DropTable& GEDCOMRecord::dropTable() const { return baseDropTable(); }

GEDCOMRecord::DropTable GEDCOMRecord::extendDropTable(const DropTable& base,
                                                      std::initializer_list<DropTable::value_type> more) {
    DropTable table = base;
    for (const auto& entry : more) table.insert_or_assign(entry.first, entry.second);
    return table;
}

bool GEDCOMRecord::respondsToDrop(std::string_view operation) const {
    return dropTable().find(operation) != dropTable().end();
}

GEDCOMRecord::DropAnswer GEDCOMRecord::drop(const std::shared_ptr<GEDCOMRecord>& dropped, bool control) {
    if (!dropped) return std::nullopt;
    auto it = dropTable().find(dropOperationName(dropped->recordType(), control));
    if (it == dropTable().end()) return formatText(kNoDropHandler, {dropped->recordType()});
    return (this->*(it->second))(dropped);
}

GEDCOMRecord::DropAnswer GEDCOMRecord::dropSOURRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    if (hasLink("SOUR", dropped->grecordID())) {
        const int choice = ModelAlerts::current()->runAlert(
            ModelAlerts::Style::Critical,
            formatText("The source '%@' is already attached to this record", {dropped->viewName()}),
            "Attach anyway or skip this source", {"Attach", "Skip"});
        if (choice == 1) return std::string(kSkip);
    }
    attachRefedLink(dropped, "SOUR");
    return std::nullopt;
}

GEDCOMRecord::DropAnswer GEDCOMRecord::dropUniqueLink(const std::shared_ptr<GEDCOMRecord>& dropped,
                                                      const std::string& tag, bool refed, const char* refusal) {
    if (hasLink(tag, dropped->grecordID())) return std::string(refusal);
    if (refed)
        attachRefedLink(dropped, tag);
    else
        attachLink(*dropped, tag);
    return std::nullopt;
}

GEDCOMRecord::DropAnswer GEDCOMRecord::dropNOTERecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropUniqueLink(dropped, "NOTE", true, "Those notes are already attached to this record.");
}

GEDCOMRecord::DropAnswer GEDCOMRecord::dropOBJERecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropUniqueLink(dropped, "OBJE", true, "That multimedia object is already attached to this record.");
}

GEDCOMRecord::DropAnswer GEDCOMRecord::drop_LOGRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropUniqueLink(dropped, "_LOG", true, "That research log is already attached to this record.");
}

// Submitters keep no back links.
GEDCOMRecord::DropAnswer GEDCOMRecord::dropSUBMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    return dropUniqueLink(dropped, "SUBM", false,
                          "The dropped Submitted record is already attached to this record.");
}

}  // namespace kl
