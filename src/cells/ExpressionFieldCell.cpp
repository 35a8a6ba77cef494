#include "cells/ExpressionFieldCell.h"

#include "cells/CellKinds.h"
#include "cells/CellPane.h"
#include "cells/HTMLPage.h"
#include "cells/LinkHost.h"
#include "foundation/HTMLText.h"
#include "model/GEDCOMObject.h"

namespace kl {

ExpressionFieldCell::ExpressionFieldCell(const CellSeed& seed, std::string className)
    : StaticFieldCell(seed, std::move(className)) {
    ExpressionFieldCell::updateStructure();
}

void ExpressionFieldCell::setPane(CellPane* pane) {
    StaticFieldCell::setPane(pane);
    watch_.follow(
        pane, structure(),
        [this] {
            setStructure(nullptr);
            updateStructure();
        },
        [this] { return this->pane(); });
}

bool ExpressionFieldCell::respondsTo(std::string_view selector) const {
    return StaticFieldCell::respondsTo(selector) || selector == "setFormat:";
}

bool ExpressionFieldCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    if (selector != "setFormat:") return StaticFieldCell::takeProperty(selector, values);
    setFormat(values.empty() ? std::string() : values.front());
    return true;
}

void ExpressionFieldCell::setFormat(const std::string& format) {
    format_.emplace().set(format);
    updateStructure();
}

std::string ExpressionFieldCell::cellString() const {
    const auto shown = structure();
    if (!shown) return {};
    return format_ ? format_->apply(shown->contents()) : shown->contents();
}

void ExpressionFieldCell::updateStructure() {
    std::string shown = cellString();
    if (isHTMLText(shown) == 0) {
        viewMode_ = kTextMode;
        pageFile_.clear();
        setText(std::move(shown));
        return;
    }
    viewMode_ = kWebMode;
    HTMLPage::Request request;
    request.url = true;
    request.model = OtherRecordWatch::paneModel(pane());
    std::string error;
    pageFile_ = HTMLPage::prepare(shown, request, &error).value_or(std::string());
    if (pageFile_.empty() && pane()) pane()->failedToSaveHTML(error);
    setText(std::move(shown));
}

void ExpressionFieldCell::structureWillRemove() {
    setStructure(nullptr);
    updateStructure();
}

void ExpressionFieldCell::sizeToFit(double extra) {
    if (viewMode_ != kWebMode) {
        StaticFieldCell::sizeToFit(extra);
        return;
    }
    resizePadding_ = extra;
    needsResize_ = true;
}

void ExpressionFieldCell::finishLoadForFrame(double pageHeight) {
    if (!needsResize_) return;
    const double change = pageHeight + resizePadding_ - viewFrame().height;
    if (pane()) pane()->retileCell(*this, change);
    else {
        double wanted = change;
        adjustSizeOnRetile(wanted);
    }
}

double ExpressionFieldCell::adjustSizeOnRetile(double& change) {
    const double before = viewFrame().height;
    CellRect frame = viewFrame();
    frame.height += change;
    setViewFrame(frame);
    cellChangedSize();
    change = viewFrame().height - before;
    return viewFrame().y;
}

}  // namespace kl
