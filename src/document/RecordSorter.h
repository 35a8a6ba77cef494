#pragma once
// RecordSorter: sorts one records list by a primary and an optional
// secondary record-path expression, as the delegate of the shared shell sort.
// Each record's values are evaluated once, before anything moves; blank
// values (empty text, or 0 for numeric expressions) go last in both orders.
// Sorting by the list's current expressions again reverses the order.
//
// Ownership: lives for one sort; holds the list and expressions it uses.
// Thread: main thread.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "document/SortValue.h"
#include "foundation/ShellSort.h"

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;
class KLExpression;
class RecordsList;

class RecordSorter : public WXShellSorter<std::shared_ptr<GEDCOMRecord>, SortKey> {
public:
    RecordSorter(std::shared_ptr<RecordsList> list, std::shared_ptr<KLExpression> sortExpr,
                 std::shared_ptr<KLExpression> altSortExpr);

    // Raises "WXArrayShellSortError" when there is no memory for the sort.
    void sort();

    SortKey getShellSortObjectFor(const std::shared_ptr<GEDCOMRecord>& record) override;
    bool checkShellObj1(const SortKey& a, const SortKey& b) override;

private:
    bool mustFollow(const SortValue& a, const SortValue& b) const;

    std::shared_ptr<RecordsList> sortList_;
    std::shared_ptr<KLExpression> sortExpr_;
    std::shared_ptr<KLExpression> altSortExpr_;
    int32_t newSortOrder_ = -1;
    bool numeric_ = false;
    bool altNumeric_ = false;
};

}  // namespace kl
