#pragma once
// PrintMarginsView: the margins accessory of the print and page-setup
// dialogs: four fields for the left, top, right and bottom margins in
// points. It is filled from a document's print settings (the dictionary
// keys "LeftMargin", "TopMargin", "RightMargin", "BottomMargin") and writes
// the edited values back into them.
//
// Ownership: a plain child widget of the dialog that shows it.
// Thread: main thread.
#include <QWidget>

#include "foundation/Value.h"

class QDoubleSpinBox;

namespace kl {

class PrintMarginsView : public QWidget {
    Q_OBJECT
public:
    static constexpr double maximumMargin = 1000.0;

    explicit PrintMarginsView(QWidget* parent = nullptr);

    // Puts the print settings' margins into the fields (0 for a missing or
    // non-numeric one).
    void fillMarginsCtrl(const Dictionary& printInfo);
    // Sets the print settings' four margins from the fields.
    void readMarginsView(Dictionary& printInfo) const;

    QDoubleSpinBox* leftMgnFld() const { return leftMgnFld_; }
    QDoubleSpinBox* topMgnFld() const { return topMgnFld_; }
    QDoubleSpinBox* rightMgnFld() const { return rightMgnFld_; }
    QDoubleSpinBox* bottomMgnFld() const { return bottomMgnFld_; }

private:
    QDoubleSpinBox* leftMgnFld_;
    QDoubleSpinBox* topMgnFld_;
    QDoubleSpinBox* rightMgnFld_;
    QDoubleSpinBox* bottomMgnFld_;
};

}  // namespace kl
