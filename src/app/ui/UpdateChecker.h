#pragma once
// UpdateChecker: reads the published version list from the product's site
// and tells the user what it says (UpdateCheck): quietly at start-up, where
// only news is shown, or from Help > Check for Updates..., where every
// outcome is. The alert's buttons open the release notes or the download
// page in the desktop's browser.
//
// Thread: main thread; the list is read without blocking the windows.
#include <functional>
#include <optional>
#include <string>

#include "foundation/Value.h"

namespace kl {

class UpdateChecker {
public:
    // manual: asked for from the menu.
    static void checkForUpdate(bool manual);
    // Reads the version list without blocking and hands it (nullopt when
    // it cannot be read) to done on the main thread.
    static void readVersionList(std::function<void(std::optional<Dictionary>)> done);
    // The start-up read of the map settings (MapSettings).
    static void readMapInfo();
    // Shows the feedback of a check (title, text, page, button, notes).
    static void updateFeedBack(const Array& feedback);
    // The site the version list and the pages are read from (tests point
    // it at a local server); empty: the product's site.
    static void setSite(std::string site);
    static std::string site();
};

}  // namespace kl
