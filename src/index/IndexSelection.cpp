#include "index/IndexSelection.h"

#include <algorithm>

namespace kl {

long IndexSelection::movedRow(long row, long from, long to) {
    if (row == from) return to;
    if (row < std::min(from, to) || row > std::max(from, to)) return row;
    return to < from ? row + 1 : row - 1;
}

IndexSelection::Moved IndexSelection::afterRecordMove(const std::vector<long>& selected, long from, long to) {
    Moved out;
    if (selected.empty()) return out;
    for (long row : selected) out.rows.push_back(movedRow(row, from, to));
    std::sort(out.rows.begin(), out.rows.end());
    out.rows.erase(std::unique(out.rows.begin(), out.rows.end()), out.rows.end());
    out.scrollTo = movedRow(*std::min_element(selected.begin(), selected.end()), from, to);
    return out;
}

}  // namespace kl
