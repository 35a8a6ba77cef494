#pragma once
// ExpressionCell: a read-only one-line label ("expression") that shows a
// structure's contents, or the value of a record path evaluated on it,
// through the template's format, optionally translated through the
// format's local strings. A structure of another record than the pane's
// keeps the label following that record: its change rebuilds the pane, its
// deletion empties the label.
//
// OtherRecordWatch: that following, shared with the multi-line expression
// field.
//
// Ownership and thread: as CustomCell. The other record is held weakly.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cells/TextCell.h"
#include "cells/TitleFormat.h"
#include "foundation/NotificationCenter.h"

namespace kl {

class CellPane;
struct CellSeed;
class GEDCOMModel;
class GEDCOMRecord;
class KLExpression;

class OtherRecordWatch {
public:
    // Follows the record of `shown` when it is not the pane's record:
    // `deleted` runs once when it is deleted (the watch then ends),
    // `changed` whenever its structures change.
    void start(const std::shared_ptr<GEDCOMObject>& shown, const GEDCOMRecord* paneRecord, const GEDCOMModel* model,
               std::function<void()> deleted, std::function<void()> changed);
    void stop();
    // start() for a cell just placed in `pane` (nullptr: taken out, the
    // watch ends): a change of the other record reloads the pane the cell
    // sits in when it comes.
    void follow(CellPane* pane, const std::shared_ptr<GEDCOMObject>& shown, std::function<void()> deleted,
                std::function<CellPane*()> currentPane);
    // The document's records of a pane's browser; nullptr outside one.
    static GEDCOMModel* paneModel(const CellPane* pane);
    std::shared_ptr<GEDCOMRecord> exprRecord() const { return record_.lock(); }

private:
    std::weak_ptr<GEDCOMRecord> record_;
    Observation deletedObservation_;
    Observation changedObservation_;
};

class ExpressionCell : public LabelTextCell {
public:
    explicit ExpressionCell(const CellSeed& seed);

    // In a pane the cell follows its structure's record when it is not the
    // pane's.
    void setPane(CellPane* pane) override;
    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    // The label shows only its value.
    void appendText(const std::string&) override {}
    void setMaxWidth(double width) override { maxWidth_ = width; }
    double maxWidth() const { return maxWidth_; }
    std::string description() const override { return "ExpressionCell: string: " + cellString(); }

    void appendedExpression(const std::optional<std::string>& text);
    const std::string& format() const { return format_.format; }
    void setFormat(const std::string& format);
    bool localizeExpr() const { return localizeExpr_; }
    void setLocalizeExpr(bool localize);
    std::shared_ptr<GEDCOMRecord> exprRecord() const { return watch_.exprRecord(); }

    std::string cellString() const;

protected:
    void updateStructure() override;
    void structureWillRemove() override;

private:
    void show();

    ValueFormat format_;
    std::shared_ptr<KLExpression> theExpr_;
    double maxWidth_ = -1;
    bool localizeExpr_ = false;
    OtherRecordWatch watch_;
};

}  // namespace kl
