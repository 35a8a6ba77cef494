#pragma once
// EditBackgroundView: the cells of one record pane in the order the
// templates made them (hidden placeholders and all), with the questions the
// browser and the cells ask of them: which cell shows a structure, which
// take the keyboard, which hold data before a cell, which group box is
// open. It is the pane a cell commits through (CellPane).
//
// The widgets live elsewhere: a Host (the Qt background widget) is told of
// each cell added and of the cells removed, and shows them; without a host
// the list works alone (tests, measuring builds).
//
// Ownership: owns its cells (shared_ptr, as a cell may hold itself alive
// through a deferred call); the host and the record are borrowed from the
// browser that owns this view. Thread: main thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Color.h"
#include "cells/CellPane.h"
#include "cells/CustomCell.h"
#include "foundation/Value.h"

namespace kl {

class GEDCOMRecord;
class StructuresLink;

class EditBackgroundView : public CellPane {
public:
    static constexpr const char* BrowserWindowWillReload = "Browser Window Will Reload";

    class Host {
    public:
        virtual ~Host() = default;
        // The cell's view goes into the open group box's view, else the pane.
        virtual void addCellView(CustomCell& cell, CustomCell* groupBox) = 0;
        virtual void removeAllCellViews() = 0;
        virtual void setBackgroundColor(const std::optional<Color>& color) = 0;
        // A cell grew or shrank after the build: the pane is this high now.
        virtual void heightChanged(double height) { (void)height; }
    };

    EditBackgroundView() = default;
    ~EditBackgroundView() override;
    EditBackgroundView(const EditBackgroundView&) = delete;
    EditBackgroundView& operator=(const EditBackgroundView&) = delete;

    void setHost(Host* host) { host_ = host; }
    void setRecord(std::shared_ptr<GEDCOMRecord> record) { record_ = std::move(record); }
    // The browser through which removals are made, and the object posting
    // "Browser Window Will Reload" (the window).
    void setBrowser(std::weak_ptr<Object> browser, const void* window) {
        browser_ = std::move(browser);
        window_ = window;
    }
    void setParentPane(const EditBackgroundView* parent) { parentPane_ = parent; }

    const std::vector<std::shared_ptr<CustomCell>>& customCells() const { return cells_; }
    void addCustomCell(const std::shared_ptr<CustomCell>& cell);
    // A cell kept in the list only (the large text pane lives elsewhere).
    void addSplitCell(const std::shared_ptr<CustomCell>& cell);
    void removeCustomCell(const CustomCell* cell);
    // notify: first post "Browser Window Will Reload" (child windows close).
    void removeCustomCells(bool notify);
    void setRestricted(bool locked);

    CustomCell* groupBox() const { return groupBox_; }
    void setGroupBox(CustomCell* box) { groupBox_ = box; }
    double groupLeftEdge() const;
    double groupTopEdge() const;

    const std::optional<Color>& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<Color> color);

    // ---- lookups
    std::vector<CustomCell*> respondingCells() const;
    // The first responding cell; the views' tab order follows the list.
    CustomCell* setEditTabKeyLoop() const;
    CustomCell* cellForStructure(const GEDCOMObject* structure) const;
    CustomCell* cellForStructure(const GEDCOMObject* structure, std::size_t index) const;
    CustomCell* respondingCellForStructure(const GEDCOMObject* structure) const;
    std::size_t indexOfRespondingCell(const CustomCell* cell) const;
    // The structures link of that tag location, or that opened the group.
    StructuresLink* cellWithTagLocation(const std::string& location) const;
    StructuresLink* linkOfGroup(const GEDCOMRecord* group) const;

    // ---- CellPane
    std::shared_ptr<GEDCOMRecord> paneRecord() const override { return record_; }
    std::vector<CustomCell*> dataCellsToCell(const CustomCell* cell) const override;
    std::vector<CustomCell*> dataCellsToGroupWith(const GEDCOMRecord* group) const override;
    std::shared_ptr<Object> mainBrowser() const override { return browser_.lock(); }
    int endActiveCell(int mode) override { return endActiveCell_ ? endActiveCell_(mode) : 1; }
    void reloadPane() override {
        if (reload_) reload_();
    }
    LinkHost* linkHost() const override { return linkHost_; }
    void setLinkHost(LinkHost* host) { linkHost_ = host; }
    // What the browser does for endActiveCell and reloadPane.
    void setBrowserSteps(std::function<int(int)> endActiveCell, std::function<void()> reload) {
        endActiveCell_ = std::move(endActiveCell);
        reload_ = std::move(reload);
    }

    void openQuickComment(CustomCell& cell) override {
        if (documentSteps_.openQuickComment) documentSteps_.openQuickComment(cell);
    }
    void setNeedsMemoPopup() override {
        if (documentSteps_.needsMemoPopup) documentSteps_.needsMemoPopup();
    }
    void tryFamilySearch() override {
        if (documentSteps_.familySearch) documentSteps_.familySearch();
    }
    void openTempolin(const std::string& date) override {
        if (documentSteps_.tempolin) documentSteps_.tempolin(date);
    }
    // What the browser and its document do for the fields' commands.
    struct DocumentSteps {
        std::function<void(CustomCell&)> openQuickComment;
        std::function<void()> needsMemoPopup;
        std::function<void()> familySearch;
        std::function<void(const std::string&)> tempolin;
        std::function<void(const std::string&)> failedToSaveHTML;
    };
    void setDocumentSteps(DocumentSteps steps) { documentSteps_ = std::move(steps); }

    // A height change of a cell after the build: cells below it move.
    void retileCells(CustomCell& cell, double change);
    void retileCell(CustomCell& cell, double change) override { retileCells(cell, change); }
    void failedToSaveHTML(const std::string& error) override {
        if (documentSteps_.failedToSaveHTML) documentSteps_.failedToSaveHTML(error);
    }
    double height() const { return height_; }
    void setHeight(double height) { height_ = height; }
    int currentHtmlSourceMode() const override { return htmlSourceMode_; }
    void setCurrentHtmlSourceMode(int mode) override { htmlSourceMode_ = mode; }

private:
    int htmlSourceMode_ = 2;
    DocumentSteps documentSteps_;
    std::function<int(int)> endActiveCell_;
    std::function<void()> reload_;
    std::vector<std::shared_ptr<CustomCell>> cells_;
    Host* host_ = nullptr;
    LinkHost* linkHost_ = nullptr;
    CustomCell* groupBox_ = nullptr;
    std::shared_ptr<GEDCOMRecord> record_;
    std::weak_ptr<Object> browser_;
    const void* window_ = nullptr;
    const EditBackgroundView* parentPane_ = nullptr;
    std::optional<Color> backgroundColor_;
    double height_ = 0;
};

}  // namespace kl
