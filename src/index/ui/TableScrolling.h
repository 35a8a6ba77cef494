#pragma once
// Scrolling a table so that a row shows in the middle of its view, as the
// index window and the list dialogs of scripts do. GUI thread.
#include <QAbstractItemView>

namespace kl {

inline void centerScroll(QAbstractItemView& view, int row) {
    if (!view.model() || row < 0 || row >= view.model()->rowCount()) return;
    view.scrollTo(view.model()->index(row, 0), QAbstractItemView::PositionAtCenter);
}

}  // namespace kl
