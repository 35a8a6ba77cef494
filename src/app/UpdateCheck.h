#pragma once
// UpdateCheck: what the published version list says to the running build.
// updateFeedback compares the running number with the official and beta
// releases of the list and answers what to tell the user: the title, the
// informative text, the page to open, the download button's title and the
// release-notes number, ending at the first one that is missing; nothing
// when an automatic check has nothing to say. The buttons of that alert
// and the page each opens follow from the feedback.
//
// Values only. Thread: any (the check runs on a worker).
#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class UpdateCheck {
public:
    static constexpr const char* kVersionListPath = "/downlds/KLIIVersion.plist";

    struct Running {
        double version = 0;  // cut to one decimal
        int beta = 0;        // the beta digit, 0 for an official build
        int build = 0;
    };
    // The running number: the version, the build / 100 and the beta / 1000.
    static double runningNumber(const Running& running);

    // versionList nullopt: the list could not be read. manual: asked for
    // from the menu (every outcome is told) rather than at start-up.
    static std::optional<Array> updateFeedback(const std::optional<Dictionary>& versionList, const Running& running,
                                               bool manual, const std::string& site);

    // The alert's buttons for the feedback, in order.
    static std::vector<std::string> buttons(const Array& feedback);
    // The page the button at the index opens; nullopt for the first.
    static std::optional<std::string> addressForButton(const Array& feedback, std::size_t index,
                                                       const std::string& site);
};

}  // namespace kl
