#include "app/ui/PrintMarginsView.h"

#include <QDoubleSpinBox>
#include <QFormLayout>

#include <utility>

namespace kl {

namespace {

QDoubleSpinBox* marginField(QWidget* parent) {
    auto* field = new QDoubleSpinBox(parent);
    field->setRange(0, PrintMarginsView::maximumMargin);
    field->setDecimals(1);
    field->setSuffix(QStringLiteral(" pt"));
    return field;
}

}  // namespace

PrintMarginsView::PrintMarginsView(QWidget* parent)
    : QWidget(parent),
      leftMgnFld_(marginField(this)),
      topMgnFld_(marginField(this)),
      rightMgnFld_(marginField(this)),
      bottomMgnFld_(marginField(this)) {
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("Left margin:"), leftMgnFld_);
    layout->addRow(tr("Top margin:"), topMgnFld_);
    layout->addRow(tr("Right margin:"), rightMgnFld_);
    layout->addRow(tr("Bottom margin:"), bottomMgnFld_);
}

void PrintMarginsView::fillMarginsCtrl(const Dictionary& printInfo) {
    const std::pair<const char*, QDoubleSpinBox*> fields[] = {
        {"LeftMargin", leftMgnFld_}, {"TopMargin", topMgnFld_}, {"RightMargin", rightMgnFld_},
        {"BottomMargin", bottomMgnFld_}};
    for (const auto& [key, field] : fields) {
        const Value* value = printInfo.get(key);
        field->setValue(value ? value->toReal(0) : 0);
    }
}

void PrintMarginsView::readMarginsView(Dictionary& printInfo) const {
    printInfo.set("LeftMargin", leftMgnFld_->value());
    printInfo.set("RightMargin", rightMgnFld_->value());
    printInfo.set("BottomMargin", bottomMgnFld_->value());
    printInfo.set("TopMargin", topMgnFld_->value());
}

}  // namespace kl
