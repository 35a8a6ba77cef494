#include "browser/GEDCOMTemporary.h"

#include "model/GEDCOMStructure.h"

namespace kl {

namespace {

std::weak_ptr<GEDCOMObject> weakOf(GEDCOMObject* node) {
    return node ? node->weak_from_this() : std::weak_ptr<GEDCOMObject>();
}

}  // namespace

std::shared_ptr<GEDCOMTemporary> GEDCOMTemporary::makeWithTag(const std::string& tag, int level,
                                                              const std::string& contents,
                                                              const std::shared_ptr<GEDCOMObject>& structure) {
    auto frame = std::make_shared<GEDCOMTemporary>(contents, tag);
    frame->setGlevel(level);
    frame->setStructure(structure);
    if (structure) {
        // The same child nodes, in a list of the frame's own: taking one out
        // here leaves the structure's list whole.
        frame->setStructures(structure->structures());
        frame->setQuickComment(structure->quickComment());
    }
    return frame;
}

std::shared_ptr<GEDCOMObject> GEDCOMTemporary::frameStructure() const { return structure_.lock(); }

void GEDCOMTemporary::setLastStructure(GEDCOMObject* structure, GEDCOMObject* parent) {
    lastStructure_ = weakOf(structure);
    lastParent_ = weakOf(parent);
}

std::string GEDCOMTemporary::viewName() const {
    if (auto shown = std::dynamic_pointer_cast<GEDCOMStructure>(structure())) return shown->viewName();
    if (auto record = std::dynamic_pointer_cast<GEDCOMRecord>(structure())) return record->viewName();
    return GEDCOMRecord::viewName();
}

std::string GEDCOMTemporary::description() const {
    return "Temporary Record/Structure: " + std::to_string(glevel()) + " " + gtag() + " " + contents();
}

}  // namespace kl
