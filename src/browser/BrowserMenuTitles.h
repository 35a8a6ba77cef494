#pragma once
// BrowserMenuTitles: the titles the main menu's relationship items (Go ▸
// Father, Mother) and attach items (Records ▸ Attach ▸ ...) take for the
// record a main record window shows, so that the menu names what the
// command will do to this very record.
//
// Values only. Thread: main thread.
#include <string>
#include <utility>
#include <vector>

#include "browser/BrowserNavigation.h"

namespace kl {

class BrowserMenuTitles {
public:
    enum Tag : int {
        kRelationshipMenuTag = 3000,
        kRecordsMenuTag = 4000,
        kAttachMenuTag = 4200,
        kAttachHusbandTag = 4201,
        kAttachWifeTag = 4202,
        kAttachChildTag = 4203,
        kMaritalStatusTag = 4212,
    };
    using Titles = std::vector<std::pair<int, std::string>>;
    // Tag and title of each item to retitle; none for records other than
    // individuals, families and records that can be cited.
    static Titles maintainTitles(const BrowserNavigation::Facts& facts);
};

}  // namespace kl
