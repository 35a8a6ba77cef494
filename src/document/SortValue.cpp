#include "document/SortValue.h"

#include <cstdlib>

#include "document/KLExpression.h"
#include "document/TextOrder.h"
#include "model/GEDCOMRecord.h"

namespace kl {

SortValue SortValue::fromText(std::string text, bool numeric) {
    SortValue v;
    v.numeric = numeric;
    if (numeric)
        v.number = std::strtoll(text.c_str(), nullptr, 10);
    else
        v.text = std::move(text);
    return v;
}

SortValue SortValue::of(const KLExpression& expression, bool numeric, const GEDCOMRecord& record,
                        GEDCOMModel* model) {
    return fromText(expression.valueInRecord(record, record, model), numeric);
}

int compareSortValues(const SortValue& a, const SortValue& b) {
    const bool aBlank = a.blank();
    const bool bBlank = b.blank();
    if (aBlank || bBlank) return aBlank == bBlank ? 0 : (aBlank ? 1 : -1);
    if (a.numeric) return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    const int c = compareCaseless(a.text, b.text);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace kl
