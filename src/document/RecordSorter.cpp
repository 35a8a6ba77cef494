#include "document/RecordSorter.h"

#include "document/GEDCOMModel.h"
#include "document/IndexStyle.h"
#include "document/KLExpression.h"
#include "document/RecordsList.h"
#include "document/DocumentNotifications.h"
#include "model/GEDCOMRecord.h"

namespace kl {

RecordSorter::RecordSorter(std::shared_ptr<RecordsList> list, std::shared_ptr<KLExpression> sortExpr,
                           std::shared_ptr<KLExpression> altSortExpr)
    : sortList_(std::move(list)), sortExpr_(std::move(sortExpr)), altSortExpr_(std::move(altSortExpr)) {}

void RecordSorter::sort() {
    if (!sortList_ || !sortExpr_) return;
    std::vector<std::string> newSort{sortExpr_->expressionString(true)};
    if (altSortExpr_) newSort.push_back(altSortExpr_->expressionString(true));
    newSortOrder_ = sortList_->sortOrder();
    if (IndexStyle::thisSort(newSort, sortList_->howSorted())) newSortOrder_ = newSortOrder_ == -1 ? 1 : -1;
    numeric_ = sortExpr_->numericExpression();
    altNumeric_ = altSortExpr_ && altSortExpr_->numericExpression();
    const long lastLine = sortList_->lastNonBlank(*sortExpr_, altSortExpr_.get());
    shellSortUsingDelegate(sortList_->mutableOrder(), *this, true, lastLine);
    sortList_->setHowSorted(std::move(newSort), newSortOrder_);
}

SortKey RecordSorter::getShellSortObjectFor(const std::shared_ptr<GEDCOMRecord>& record) {
    SortKey key{SortValue::of(*sortExpr_, numeric_, *record, sortList_->model()), std::nullopt};
    if (altSortExpr_) key.secondary = SortValue::of(*altSortExpr_, altNumeric_, *record, sortList_->model());
    return key;
}

bool RecordSorter::mustFollow(const SortValue& a, const SortValue& b) const {
    const int c = compareSortValues(a, b);
    if (a.blank() || b.blank()) return c > 0;  // blanks last in both orders
    return newSortOrder_ == -1 ? c > 0 : c < 0;
}

bool RecordSorter::checkShellObj1(const SortKey& a, const SortKey& b) {
    if (compareSortValues(a.primary, b.primary) != 0) return mustFollow(a.primary, b.primary);
    if (!a.secondary || !b.secondary) return false;
    return mustFollow(*a.secondary, *b.secondary);
}

void RecordsList::sortColumn(int column) {
    if (column < 0 || !indexStyle_) return;
    auto sort = indexStyle_->expressionForSort(column);
    if (!sort) return;
    RecordSorter(shared_from_this(), sort, indexStyle_->altExpressionForSort(column)).sort();
    NotificationCenter::defaultCenter().post(notification_names::ColumnOrderChanged, this);
}

}  // namespace kl
