#pragma once
// RecordLinkLists: the lists of linked record IDs that a record browser
// shows beside a record (relatives, sources, multimedia, places). The
// browser owns it; the record fills it in setUpLinkLists.
//
// Thread: main thread.
#include <string>
#include <vector>

namespace kl {

struct RecordLinkLists {
    std::vector<std::string> fatherOrHusband;
    std::vector<std::string> motherOrWife;
    std::vector<std::string> families;
    std::vector<std::string> spouses;
    std::vector<std::string> children;
    std::vector<std::string> siblings;
    std::vector<std::string> sources;
    std::vector<std::string> multimedia;
    std::vector<std::string> places;
};

}  // namespace kl
