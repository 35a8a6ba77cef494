// Keeping a list in its sort: sorted insertion, re-placing an edited record,
// type-ahead and the column sort.
#include <algorithm>

#include "dates/DateBridge.h"
#include "document/DocumentNotifications.h"
#include "document/KLExpression.h"
#include "document/SortValue.h"
#include "document/RecordsList.h"
#include "document/TextOrder.h"
#include "foundation/Exception.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

// The sort of a list made into expressions, with the values of one record.
struct SortContext {
    std::shared_ptr<KLExpression> sort;
    std::shared_ptr<KLExpression> alt;
    bool numeric = false;
    bool altNumeric = false;

    explicit SortContext(const std::vector<std::string>& howSorted) {
        if (howSorted.empty()) return;
        sort = KLExpression::expressionFromString(howSorted[0]);
        numeric = sort->numericExpression();
        if (howSorted.size() > 1) {
            alt = KLExpression::expressionFromString(howSorted[1]);
            altNumeric = alt->numericExpression();
        }
    }
    SortKey keyOf(const GEDCOMRecord& record, GEDCOMModel* model) const {
        SortKey key{SortValue::of(*sort, numeric, record, model), std::nullopt};
        if (alt) key.secondary = SortValue::of(*alt, altNumeric, record, model);
        return key;
    }
};

// Negative when `value` belongs before `other` in the list's order; blanks
// go last in both orders.
int relation(const SortValue& value, const SortValue& other, int32_t sortOrder) {
    const int c = compareSortValues(value, other);
    if (value.blank() || other.blank()) return c;
    return sortOrder == -1 ? c : -c;
}

int relation(const SortKey& value, const SortKey& other, int32_t sortOrder) {
    const int c = relation(value.primary, other.primary, sortOrder);
    if (c != 0 || !value.secondary || !other.secondary) return c;
    return relation(*value.secondary, *other.secondary, sortOrder);
}

}  // namespace

long RecordsList::lastNonBlank(const KLExpression& sort, const KLExpression* altSort) const {
    const bool numeric = sort.numericExpression();
    for (long i = static_cast<long>(order_.size()) - 1; i >= 0; --i) {
        const GEDCOMRecord& r = *order_[static_cast<size_t>(i)];
        if (!SortValue::of(sort, numeric, r, model_).blank()) return i;
        if (altSort && !SortValue::of(*altSort, numeric, r, model_).blank()) return i;
    }
    return -1;
}

std::size_t RecordsList::insertLocationForRecord(const GEDCOMRecord& record) const {
    const SortContext context(howSorted_);
    if (!context.sort) return order_.size();
    const SortKey key = context.keyOf(record, model_);
    if (key.primary.blank() && (!key.secondary || key.secondary->blank())) return order_.size();
    return insertLocationForString(key.primary.numeric ? std::to_string(key.primary.number) : key.primary.text,
                                   *context.sort, context.numeric,
                                   key.secondary ? std::optional<std::string>(key.secondary->numeric
                                                                                  ? std::to_string(key.secondary->number)
                                                                                  : key.secondary->text)
                                                 : std::nullopt,
                                   context.alt.get(), context.altNumeric);
}

std::size_t RecordsList::insertLocationForString(const std::string& value, const KLExpression& sort, bool numeric,
                                                 const std::optional<std::string>& altValue,
                                                 const KLExpression* altSort, bool altNumeric) const {
    if (order_.empty()) return 0;
    SortKey key{SortValue::fromText(value, numeric), std::nullopt};
    if (altSort && altValue) key.secondary = SortValue::fromText(*altValue, altNumeric);
    auto relationTo = [&](size_t i) {
        const GEDCOMRecord& r = *order_[i];
        SortKey other{SortValue::of(sort, numeric, r, model_), std::nullopt};
        if (key.secondary) other.secondary = SortValue::of(*altSort, altNumeric, r, model_);
        return relation(key, other, sortOrder_);
    };
    if (relationTo(0) <= 0) return 0;
    const long last = lastNonBlank(sort, altSort);
    if (last < 0) return 0;
    // After every non-blank record: before the blank tail, which stays last.
    if (relationTo(static_cast<size_t>(last)) >= 0) return static_cast<size_t>(last) + 1;
    // Record 0 is before the value and record `last` after it: find the first
    // record the value belongs before.
    size_t low = 1, high = static_cast<size_t>(last);
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (relationTo(mid) < 0)
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

long RecordsList::findSortedString(const std::string& typed, std::string* match) const {
    const SortContext context(howSorted_);
    if (!context.sort || order_.empty()) return -1;
    std::string text = typed;
    if (context.sort->sdnExpression()) text = std::to_string(midSdnForDate(typed));
    const SortValue value = SortValue::fromText(text, context.numeric);
    // The first record the typed value does not come after.
    long pos = static_cast<long>(order_.size());
    for (long low = 0, high = pos; low < high;) {
        const long mid = low + (high - low) / 2;
        const SortValue other = SortValue::of(*context.sort, context.numeric, *order_[static_cast<size_t>(mid)], model_);
        if (relation(value, other, sortOrder_) > 0)
            low = mid + 1;
        else
            high = mid;
        pos = high;
    }
    pos = std::min(pos, static_cast<long>(order_.size()) - 1);
    if (context.numeric) return pos;
    if (match) *match = SortValue::of(*context.sort, false, *order_[static_cast<size_t>(pos)], model_).text;
    return pos;
}

void RecordsList::updateRecordState(const Notification& note) {
    auto it = std::find_if(order_.begin(), order_.end(), [&note](const RecordPtr& r) {
        return static_cast<const void*>(static_cast<const GEDCOMObject*>(r.get())) == note.object;
    });
    if (it == order_.end()) return;
    const SortContext context(howSorted_);
    if (context.sort) {
        const size_t at = static_cast<size_t>(it - order_.begin());
        const SortKey key = context.keyOf(**it, model_);
        auto relationTo = [&](size_t i) { return relation(key, context.keyOf(*order_[i], model_), sortOrder_); };
        const bool outOfPlace =
            (at + 1 < order_.size() && relationTo(at + 1) > 0) || (at > 0 && relationTo(at - 1) < 0);
        if (outOfPlace) {
            RecordPtr record = *it;
            order_.erase(it);
            insertSorted(record);
        }
    }
    NotificationCenter::defaultCenter().post(notification_names::ListOrderOrTextChanged, this);
}

}  // namespace kl
