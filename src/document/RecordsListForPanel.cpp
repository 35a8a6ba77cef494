#include "document/RecordsListForPanel.h"

namespace kl {

std::shared_ptr<RecordsListForPanel> RecordsListForPanel::listWithType(std::string recordType, GEDCOMModel* model) {
    auto list = std::make_shared<RecordsListForPanel>(std::move(recordType), model);
    list->initName("panel list");
    list->registerMethods();
    return list;
}

std::shared_ptr<RecordsListForPanel> RecordsListForPanel::listWithList(const RecordsList& other) {
    auto list = std::make_shared<RecordsListForPanel>(other.recordType(), other.model());
    list->initName(other.name());
    list->setOrder(other.order());
    list->idDict_ = other.idDict();
    list->setHowSorted(other.howSorted(), other.sortOrder());
    list->setListType(other.listType());
    list->registerMethods();
    return list;
}

void RecordsListForPanel::registerMethods() {
    // The library's event-definition lists never change under a picker.
    if (recordType() == "@EVT") return;
    RecordsList::registerMethods();
}

void RecordsListForPanel::addRecord(const RecordPtr& record) {
    if (record) mutableOrder().push_back(record);
}

}  // namespace kl
