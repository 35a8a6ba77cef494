#pragma once
// IndexSelection: the records table's selected rows, kept in step with a
// list whose order changed under them. When an edited record re-sorts from
// one row to another, every row between the two shifts by one, so the
// selection follows the records rather than the row numbers.
//
// Ownership: a value. Thread: main thread.
#include <optional>
#include <vector>

namespace kl {

class IndexSelection {
public:
    struct Moved {
        std::vector<long> rows;        // ascending
        std::optional<long> scrollTo;  // where the first selected row went
    };

    // `selected` rows (any order) after the record at `from` moved to `to`.
    static Moved afterRecordMove(const std::vector<long>& selected, long from, long to);
    // The new row of `row` after that move.
    static long movedRow(long row, long from, long to);
};

}  // namespace kl
