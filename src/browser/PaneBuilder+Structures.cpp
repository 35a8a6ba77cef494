// The structure commands: which children of the frame are shown, by which
// templates, which are hidden or linked, loops over structures of one
// kind, and the drops and optional data the window offers.
#include <algorithm>

#include "app/LibraryFolder.h"
#include "browser/PaneBuilder.h"
#include "cells/CellKinds.h"
#include "cells/CustomCell.h"
#include "foundation/AsciiText.h"
#include "model/EVENTRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"
#include "model/wex.h"
#include "script/Expression.h"
#include "script/RepeatEachObject.h"
#include "script/Templates.h"

namespace kl {

namespace {

// The tags of a named list of the library data ("INDIEvents"), if the word
// names one.
std::optional<std::vector<std::string>> namedTagList(const LibraryFolder* library, const std::string& word) {
    if (library)
        if (const Value* entry = library->klDictionary(word); entry && entry->array()) {
            std::vector<std::string> tags;
            for (const Value& tag : *entry->array()) tags.push_back(tag.toString());
            return tags;
        }
    if (auto list = LibraryServices::current()->tagList(word)) return *list;
    return std::nullopt;
}

}  // namespace

GEDCOMObject::StructureList PaneBuilder::takeChildren(GEDCOMTemporary& frame, const std::string& word) {
    const auto list = namedTagList(env_.library, word);
    const bool all = asciiLower(word) == "all";
    GEDCOMObject::StructureList taken;
    GEDCOMObject::StructureList kept;
    for (const auto& child : frame.structures()) {
        const bool match = all || (list ? std::find(list->begin(), list->end(), child->gtag()) != list->end()
                                        : child->gtag() == word);
        (match ? taken : kept).push_back(child);
    }
    if (!taken.empty()) frame.setStructures(std::move(kept));
    return taken;
}

void PaneBuilder::showChild(GEDCOMTemporary& frame, const std::shared_ptr<GEDCOMStructure>& child,
                            const std::string& tag) {
    decodeTemplate(tag, Templates::TagTemplate, frame.glevel() + 1, child ? child->contents() : std::string(), child,
                   frame.tabs(), true);
}

void PaneBuilder::doShow(GEDCOMTemporary& frame) {
    finishCell();
    frame.setDefaultCellLocked(true);
    const std::string tag = read_.getString();
    std::shared_ptr<GEDCOMStructure> child = frame.findChild(tag, true);
    readArguments("#msg");
    showChild(frame, child, tag);
}

void PaneBuilder::doShowall(GEDCOMTemporary& frame) {
    finishCell();
    frame.setDefaultCellLocked(true);
    const GEDCOMObject::StructureList taken = takeChildren(frame, read_.getString());
    if (taken.empty()) return;
    readArguments("#msg");
    const std::vector<std::string> arguments = saveArguments("#msg");
    for (std::size_t i = 0; i < taken.size(); ++i) {
        if (i > 0) replaceArguments("#msg", arguments);
        showChild(frame, taken[i], taken[i]->gtag());
    }
}

void PaneBuilder::doUse(GEDCOMTemporary& frame) {
    finishCell();
    const std::string name = read_.getString();
    readArguments("#use");
    auto self = std::static_pointer_cast<GEDCOMTemporary>(frame.shared_from_this());
    decodeTemplate(name, Templates::TagTemplate, frame.glevel(), std::nullopt, self, frame.tabs(), true);
}

void PaneBuilder::doHide(GEDCOMTemporary& frame) {
    while (read_.more()) {
        const std::string word = read_.getString();
        if (asciiLower(word) == "all") frame.findChildren(word, true);
        else takeChildren(frame, word);
    }
}

void PaneBuilder::doHideexcess(GEDCOMTemporary& frame) { frame.setHideExcess(true); }

void PaneBuilder::doLinkall(GEDCOMTemporary& frame) {
    CustomCell& cell = verifyValidInCell("addStructures:");
    frame.setDefaultCellLocked(true);
    while (read_.more()) {
        const GEDCOMObject::StructureList taken = takeChildren(frame, read_.getString());
        cell.addStructures(std::vector<std::shared_ptr<GEDCOMObject>>(taken.begin(), taken.end()));
    }
}

void PaneBuilder::doOptionaltag(GEDCOMTemporary&) {
    const std::string tag = read_.getString();
    const std::string name = read_.more() ? read_.getString() : tag;
    const std::string contents = read_.more() ? read_.getString() : tag;
    const std::string number = std::to_string(optionalTags_.size() + 1);
    auto entry = std::make_shared<EVENTRecord>("@OPT" + number + "@", "@OPT");
    entry->addLevel(1, "_TAG", tag);
    entry->addLevel(1, "_NAM", name);
    auto line = entry->addLevel(1, tag, contents);
    while (read_.more()) {
        const std::string text = read_.getString();
        line->addLevel(2, wex::getFirstWord(text), wex::deleteFirstWord(text));
    }
    const bool linkable = CellKinds::supportedCreateTag(tag);
    if (currentCell_ && currentCell_->respondsTo("addOptionalTag:") && !linkable) {
        currentCell_->addOptionalTag(entry);
        return;
    }
    optionalTags_.push_back(entry);
    if (linkable) dropTypes_.push_back(tag);
}

void PaneBuilder::doDroptypes(GEDCOMTemporary&) {
    while (read_.more()) dropTypes_.push_back(read_.getString());
}

std::vector<std::shared_ptr<GEDCOMObject>> PaneBuilder::structuresForLoop(const char* command,
                                                                          std::string& variable) {
    variable = read_.getString();
    const std::string name = command;
    if (!Expression::validVarname(variable))
        causeError("First parameter in '" + name + "' must evaluate to variable name starting in '#'.");
    if (read_.remaining() >= 2 && asciiLower(read_.getString()) != "from") causeError("Invalid '" + name + "' command.");
    read_.getString();
    if (read_.more()) causeError("Base expression in '" + name + "' must be the last parameter");
    GEDCOMTemporary* frame = layout_.layoutFrame;
    std::vector<std::shared_ptr<GEDCOMObject>> found;
    auto last = frame ? frame->lastPathStructure() : nullptr;
    auto parent = frame ? frame->lastPathParent() : nullptr;
    if (!last || !parent) return found;
    for (const auto& child : parent->structures())
        if (child->gtag() == last->gtag()) found.push_back(child);
    return found;
}

void PaneBuilder::doReadall(GEDCOMTemporary&) {
    std::string variable;
    const auto found = structuresForLoop("ReadAll", variable);
    variables_[variable + "[0]"] = std::to_string(found.size());
    for (std::size_t i = 0; i < found.size(); ++i)
        variables_[variable + "[" + std::to_string(i + 1) + "]"] = found[i]->contents();
}

void PaneBuilder::doRepeatwith(GEDCOMTemporary&) {
    std::string variable;
    const auto found = structuresForLoop("RepeatWith", variable);
    Array objects;
    for (const auto& structure : found) objects.emplace_back(std::static_pointer_cast<Object>(structure));
    auto contents = [](const Value& item) -> std::optional<std::string> {
        auto node = item.objectAs<GEDCOMObject>();
        if (!node) return std::nullopt;
        return node->contents();
    };
    auto loop = std::make_shared<RepeatEachObject>(std::move(objects), contents);
    if (!parce_ || !parce_->repeatCmd(variable, loop, variables_, nullptr))
        causeError("Matching 'EndRepeat' command could not be found.");
}

}  // namespace kl
