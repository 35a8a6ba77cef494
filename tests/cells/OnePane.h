#pragma once
// A pane of one record with no other data cells, whose browser answers
// endActiveCell with `ending` (EditRefused: the user keeps editing); and
// a cell view that holds what the user typed.
#include <memory>
#include <vector>

#include "cells/CellPane.h"
#include "cells/CellView.h"
#include "cells/CustomCell.h"
#include "model/GEDCOMRecord.h"

namespace kl::test {

class OnePane : public CellPane {
public:
    explicit OnePane(std::shared_ptr<GEDCOMRecord> record) : record_(std::move(record)) {}
    std::shared_ptr<GEDCOMRecord> paneRecord() const override { return record_; }
    std::vector<CustomCell*> dataCellsToCell(const CustomCell*) const override { return {}; }
    int endActiveCell(int) override { return ending; }
    int ending = EditSet;

private:
    std::shared_ptr<GEDCOMRecord> record_;
};

// What the user typed into the field; what the cell beeped, focused and
// copied.
class TypedView : public CellView {
public:
    void setFrame(const CellRect&) override {}
    void refresh(const CustomCell& cell) override { typed = cell.text(); }
    double textWidth(const std::string& text) const override { return double(text.size()) * 6; }
    double textHeight() const override { return 15; }
    std::string text() const override { return typed; }
    void takeFocus() override { ++focused; }
    void beep() override { ++beeps; }
    void writeStringToPasteboard(const std::string& text) override { pasteboard = text; }
    std::string typed;
    std::string pasteboard;
    int beeps = 0;
    int focused = 0;
};

}  // namespace kl::test
