#pragma once
// DetachLinkList: the receiver of a record's links when the user picks links
// to detach. The picker list of the record lists implements it; the tree only
// offers links to it.
//
// Thread: main thread.
#include <array>
#include <memory>
#include <optional>
#include <string>

namespace kl {

class GEDCOMObject;
class GEDCOMStructure;

class DetachLinkList {
public:
    // Label and the linked record's view name (or "Invalid Link").
    using LinkName = std::array<std::string, 2>;

    virtual ~DetachLinkList() = default;

    // A missing name means the link is not to be offered.
    virtual void addDetachLink(const std::shared_ptr<GEDCOMStructure>& link,
                               const std::optional<LinkName>& name,
                               const std::optional<std::string>& inEvent, GEDCOMObject* parent) = 0;
};

}  // namespace kl
