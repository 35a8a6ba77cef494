#pragma once
// GEDCOMTemporary: the frame of one template run. It is a record standing
// for the structure the template shows (which may not exist yet): its ID is
// the structure's contents, its type the structure's tag, its level the
// structure's level, and its child list starts as a copy of the structure's
// children. Structure commands take children out of that list as they show
// them; the structure itself and its record never change by that. Record
// paths evaluate on a frame like on any record, and a path's "parent" starts
// from the shown structure (through TemplateFrame).
//
// Ownership: made and held by the template run (shared_ptr, as every node).
// The shown structure and the last structure reached by an "@" expression
// belong to the record and are held weakly; the parser of the run is a plain
// pointer (it outlives the run); the placeholder cell is shared with the
// editing background that shows it.
// Thread: main thread, during one pane build.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/TemplateFrame.h"
#include "model/GEDCOMRecord.h"

namespace kl {

class CommandParcer;
class GEDCOMStructure;

class GEDCOMTemporary : public GEDCOMRecord, public TemplateFrame {
public:
    GEDCOMTemporary(std::string contents, std::string tag) : GEDCOMRecord(std::move(contents), std::move(tag)) {}

    // The structure may be a record: a record template's frame shows the
    // record itself.
    static std::shared_ptr<GEDCOMTemporary> makeWithTag(const std::string& tag, int level, const std::string& contents,
                                                        const std::shared_ptr<GEDCOMObject>& structure);

    // Tab stops in points from the editing background's left edge,
    // ascending. A child template copies its parent's stops, so the stops
    // it sets stay its own.
    const std::vector<double>& tabs() const { return tabs_; }
    void setTabs(std::vector<double> tabs) { tabs_ = std::move(tabs); }
    void copyTabs(const std::vector<double>& tabs) { tabs_ = tabs; }

    std::shared_ptr<GEDCOMObject> structure() const { return structure_.lock(); }
    void setStructure(const std::shared_ptr<GEDCOMObject>& structure) { structure_ = structure; }
    std::shared_ptr<GEDCOMObject> frameStructure() const override;

    // The invisible cell that keeps the structure's place among the cells;
    // the pane builder makes it with the frame's structure, tag and level.
    const std::shared_ptr<Object>& defaultSaveCell() const { return defaultSaveCell_; }
    void setDefaultSaveCell(std::shared_ptr<Object> cell) { defaultSaveCell_ = std::move(cell); }
    bool defaultCellLocked() const { return defaultCellLocked_; }
    void setDefaultCellLocked(bool locked) { defaultCellLocked_ = locked; }
    bool hideExcess() const { return hideExcess_; }
    void setHideExcess(bool hide) { hideExcess_ = hide; }

    // What the last "@" expression reached. (The node's own lastStructure()
    // is its last child, so these carry the path's name.)
    std::shared_ptr<GEDCOMObject> lastPathStructure() const { return lastStructure_.lock(); }
    std::shared_ptr<GEDCOMObject> lastPathParent() const { return lastParent_.lock(); }
    void setLastStructure(GEDCOMObject* structure, GEDCOMObject* parent);

    CommandParcer* parce() const { return parce_; }
    void setParce(CommandParcer* parce) { parce_ = parce; }

    std::optional<std::string> quickComment() const override { return quickComment_; }
    void setQuickComment(std::optional<std::string> comment) { quickComment_ = std::move(comment); }

    // The shown structure's name when there is one.
    std::string viewName() const override;
    std::string description() const override;

private:
    std::vector<double> tabs_;
    std::weak_ptr<GEDCOMObject> structure_;
    std::shared_ptr<Object> defaultSaveCell_;
    bool defaultCellLocked_ = false;
    bool hideExcess_ = false;
    std::weak_ptr<GEDCOMObject> lastStructure_;
    std::weak_ptr<GEDCOMObject> lastParent_;
    CommandParcer* parce_ = nullptr;
    std::optional<std::string> quickComment_;
};

}  // namespace kl
