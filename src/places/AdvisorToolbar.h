#pragma once
// AdvisorToolbar: the items of the Derev Azeduze window's toolbar
// "advisorToolBar": open the advisor in the desktop's browser, copy the
// shown place to a place record, search for places, and help.
//
// Values only. Thread: any.
#include <optional>
#include <string>
#include <vector>

#include "index/IndexToolbar.h"

namespace kl {

class AdvisorToolbar {
public:
    static constexpr const char* kIdentifier = "advisorToolBar";

    static const std::vector<std::string>& toolbarAllowedItemIdentifiers();
    static const std::vector<std::string>& toolbarDefaultItemIdentifiers();
    // nullopt for spaces and unknown identifiers.
    static std::optional<ToolbarItemSpec> itemForItemIdentifier(const std::string& identifier);
    static const ToolbarItems& items();
};

}  // namespace kl
