#pragma once
// A pane of one record with no other data cells, whose browser answers
// endActiveCell with `ending` (EditRefused: the user keeps editing).
#include <memory>
#include <vector>

#include "cells/CellPane.h"
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

}  // namespace kl::test
