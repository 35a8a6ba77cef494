#pragma once
// WebPaneLinks: where a link clicked in a rendered record page goes. A link
// to the page itself (or to a place inside it) stays in the pane; a link to
// a record ID ("@I3@", "//@I3@", "kinlore:@I3@") or to "head" opens that
// record in a browser window; mail links and every other address go to the
// desktop, so that a record page never turns into a web browser.
//
// Pure functions over their arguments (the model is only read); main thread
// when a model is given.
#include <memory>
#include <string>
#include <string_view>

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;

class WebPaneLinks {
public:
    enum class Action { Stay, OpenRecord, Desktop };
    struct Decision {
        Action action = Action::Desktop;
        std::shared_ptr<GEDCOMRecord> record;  // for OpenRecord
    };

    // The record part of an address: after the scheme; for schemes other
    // than "kinlore" with "%40" read as "@" and a leading "//" dropped.
    static std::string target(std::string_view address);
    // basePath: the path of the page shown (a link to it reloads it).
    static Decision decide(std::string_view address, std::string_view basePath, const GEDCOMModel* model);
    // Record links of a page written so that a URL parser keeps the ID:
    // an href of "//@ID@" becomes "kinlore:@ID@".
    static std::string schemeRecordLinks(std::string page);
};

}  // namespace kl
