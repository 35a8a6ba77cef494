#pragma once
// TemplateFrame: what a record path asks of the frame of a template run (the
// pseudo-record that stands for the structure a template shows): the
// structure itself, which may not exist yet. The frame class of the record
// browser implements it; record paths find it by dynamic_cast, so this
// library needs nothing of the browser.
//
// Ownership and thread: as the frame (main thread, one template run).
#include <memory>

namespace kl {

class GEDCOMObject;

class TemplateFrame {
public:
    virtual ~TemplateFrame() = default;
    // The shown structure, nullptr when it does not exist yet.
    virtual std::shared_ptr<GEDCOMObject> frameStructure() const = 0;
};

}  // namespace kl
