#include "browser/RecordStack.h"

#include "model/GEDCOMRecord.h"

namespace kl {

namespace {
constexpr std::size_t kInitialRoom = 100;
}

RecordStack::RecordStack(Browser& browser) : browser_(browser) { stack_.reserve(kInitialRoom); }

RecordStack::Entry RecordStack::entryFor(const GEDCOMRecord& record) const {
    return Entry{record.grecordID(), browser_.historyPaneID()};
}

void RecordStack::addRecordToStack(const GEDCOMRecord& record) {
    if (blockAddRecord_) {
        blockAddRecord_ = false;
        return;
    }
    ++currentItem_;
    stack_.erase(stack_.begin() + currentItem_, stack_.end());
    stack_.push_back(entryFor(record));
}

void RecordStack::updateCurrentItem(const GEDCOMRecord& record) {
    if (currentItem_ < 0 || currentItem_ >= int(stack_.size())) return;
    if (stack_[currentItem_].recordID != record.grecordID()) return;
    stack_[currentItem_] = entryFor(record);
}

bool RecordStack::canGo(int direction) const {
    for (int i = currentItem_ + direction; i >= 0 && i < int(stack_.size()); i += direction)
        if (browser_.historyRecordWithID(stack_[i].recordID)) return true;
    return false;
}

RecordStack::RecordPtr RecordStack::goRecord(int direction, std::optional<std::string>* paneID) {
    for (int i = currentItem_ + direction; i >= 0 && i < int(stack_.size()); i += direction) {
        if (auto record = browser_.historyRecordWithID(stack_[i].recordID)) {
            currentItem_ = i;
            if (paneID) *paneID = stack_[i].paneID;
            return record;
        }
    }
    return nullptr;
}

void RecordStack::showEntry(const RecordPtr& record, const std::optional<std::string>& paneID) {
    // Cleared again after the move: when the browser does not push (the
    // same record, or a cell that refused to let go) the next visit must
    // still be recorded.
    blockAddRecord_ = true;
    browser_.changeRecordFromHistory(record, paneID);
    blockAddRecord_ = false;
}

bool RecordStack::goToRecord(int direction) {
    std::optional<std::string> paneID;
    auto record = goRecord(direction, &paneID);
    if (!record) return false;
    showEntry(record, paneID);
    return true;
}

bool RecordStack::goToIndex(int index) {
    if (index < 0 || index >= int(stack_.size())) return false;
    auto record = browser_.historyRecordWithID(stack_[index].recordID);
    if (!record) return false;
    currentItem_ = index;
    showEntry(record, stack_[index].paneID);
    return true;
}

std::vector<RecordStack::Reachable> RecordStack::reachable(int direction) const {
    std::vector<Reachable> found;
    for (int i = currentItem_ + direction; i >= 0 && i < int(stack_.size()); i += direction)
        if (auto record = browser_.historyRecordWithID(stack_[i].recordID)) found.push_back({i, std::move(record)});
    return found;
}

}  // namespace kl
