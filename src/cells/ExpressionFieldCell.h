#pragma once
// ExpressionFieldCell: the read-only multi-line text of "expressionfield":
// a structure's contents through the template's format. When that text is
// an HTML block the cell shows the rendered page instead (written to a page
// file of the working folder), and, asked to fit its contents, takes the
// page's height once the page has loaded. A structure of another record is
// followed as by ExpressionCell.
//
// Its view shows the text, or loads pageFile() while viewMode() is
// kWebMode, and reports the loaded page's height to finishLoadForFrame.
//
// Ownership and thread: as CustomCell.
#include <optional>
#include <string>

#include "cells/ExpressionCell.h"
#include "cells/TextFieldCell.h"
#include "cells/TitleFormat.h"

namespace kl {

class ExpressionFieldCell : public StaticFieldCell {
public:
    static constexpr int kWebMode = 1;
    static constexpr int kTextMode = 2;

    explicit ExpressionFieldCell(const CellSeed& seed, std::string className = "ExpressionFieldCell");

    void setPane(CellPane* pane) override;
    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    void appendText(const std::string&) override {}

    // Without a format the contents show as they are.
    const std::optional<ValueFormat>& format() const { return format_; }
    void setFormat(const std::string& format);
    std::shared_ptr<GEDCOMRecord> exprRecord() const { return watch_.exprRecord(); }

    virtual std::string cellString() const;
    int viewMode() const { return viewMode_; }
    // The page file shown in web mode; empty when it could not be written.
    const std::string& pageFile() const { return pageFile_; }

    // In web mode the height follows the page once it has loaded.
    void sizeToFit(double extra) override;
    bool frameNeedsResize() const { return needsResize_; }
    double resizePadding() const { return resizePadding_; }
    // The page has loaded; its height is known.
    void finishLoadForFrame(double pageHeight);
    double adjustSizeOnRetile(double& change) override;

protected:
    void updateStructure() override;
    void structureWillRemove() override;

private:
    std::optional<ValueFormat> format_;
    int viewMode_ = kTextMode;
    double resizePadding_ = 0;
    bool needsResize_ = false;
    std::string pageFile_;
    OtherRecordWatch watch_;
};

}  // namespace kl
