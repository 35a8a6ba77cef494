#pragma once
// SortValue: the value of one record under one sort expression, as the
// lists compare it: an integer for numeric expressions (0 is blank), else
// text compared without regard to case (empty is blank). Blank values sort
// after every other value, in both orders.
// Thread: any; plain values.
#include <cstdint>
#include <optional>
#include <string>

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;
class KLExpression;

// One value of a record under one expression.
struct SortValue {
    bool numeric = false;
    int64_t number = 0;
    std::string text;

    bool blank() const { return numeric ? number == 0 : text.empty(); }
    static SortValue of(const KLExpression& expression, bool numeric, const GEDCOMRecord& record,
                        GEDCOMModel* model);
    static SortValue fromText(std::string text, bool numeric);
};

// Negative when a comes before b in ascending order, with blanks after
// every other value.
int compareSortValues(const SortValue& a, const SortValue& b);

struct SortKey {
    SortValue primary;
    std::optional<SortValue> secondary;
};

}  // namespace kl
