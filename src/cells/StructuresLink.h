#pragma once
// StructuresLink: a button that gathers some structures of the pane's
// record (all events of one kind, the sources of one fact) and opens them
// as a group in a child window of the browser, laid out by a template of
// its own. The template's "Linkall" hands it the structures; a structure
// deleted elsewhere leaves the button and the group it opened.
//
// Its tag location (the tag path being laid out and a count of the links
// made so far in the build) stays the same from one build to the next, so
// the browser finds the button again after a rebuild and refreshes the
// child window through it.
//
// Ownership and thread: as CustomCell; the group record is shared with the
// child window that shows it.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cells/ButtonCell.h"
#include "model/GEDCOMObject.h"

namespace kl {

class GroupedRecord;

class StructuresLink : public ButtonCell {
public:
    // frameStructure: the template frame's structure (nullptr when the
    // frame has none); the grouped structures are one level below it.
    StructuresLink(std::string templateName, const std::shared_ptr<GEDCOMObject>& frameStructure,
                   std::string frameTag, int frameLevel, const CellRect& frame, const EditingPrefs* prefs);

    bool holdsDataCell() const override { return true; }
    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    void addStructures(const std::vector<std::shared_ptr<GEDCOMObject>>& structures) override;

    const std::string& templateName() const { return templateName_; }
    void setTemplateName(std::string name) { templateName_ = std::move(name); }
    const GEDCOMObject::StructureList& structures() const { return structures_; }
    const std::string& parameter() const { return parameter_; }
    void setParameter(std::string parameter) { parameter_ = std::move(parameter); }
    const std::shared_ptr<GroupedRecord>& groupRecord() const { return groupRecord_; }
    const std::optional<std::string>& tagLocation() const { return tagLocation_; }
    void setTagLocation(std::string location) { tagLocation_ = std::move(location); }

    // A click: the group opens in the browser's child window, which comes
    // to the front.
    void buttonClick(bool optionDown) override;
    // The browser, after a rebuild, hands its child window the group made
    // anew, with the structure the rebuild was for (nullptr for none); the
    // window stays where it is.
    void restoreChild(const std::shared_ptr<GEDCOMObject>& created);

private:
    void openGroup(bool restoring, const std::shared_ptr<GEDCOMObject>& created);
    void structureLeaves(const GEDCOMObject* structure);

    std::string templateName_;
    GEDCOMObject::StructureList structures_;
    std::string parameter_;
    std::shared_ptr<GroupedRecord> groupRecord_;
    std::optional<std::string> tagLocation_;
    std::vector<std::pair<const GEDCOMObject*, Observation>> removals_;
};

}  // namespace kl
