#pragma once
// LibraryServices: what the GEDCOM tree asks of the application's library
// folder (named tag lists, localised strings). The core installs nothing but
// this default, which knows no tag lists and answers every key with itself;
// the application shell installs its library folder at start-up.
//
// Thread: installed on the main thread before workers start; read from any
// thread (the current instance is handed out as a shared_ptr under a lock).
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kl {

class LibraryServices {
public:
    using TagList = std::vector<std::string>;

    virtual ~LibraryServices() = default;

    // The tag list stored under a name such as "INDIEvents", or nullptr
    // when the library keeps no list under that name.
    virtual std::shared_ptr<const TagList> tagList(std::string_view name) const;
    // The text of a key in the current format's language; the key itself
    // when there is none.
    virtual std::string localString(std::string_view key) const;
    // The display name the current format gives an event tag of a record
    // type ("INDI" or "FAM"); nullopt when the tag is no event of that type.
    virtual std::optional<std::string> eventName(std::string_view recordType, std::string_view tag) const;

    static std::shared_ptr<const LibraryServices> current();
    // The current services' text of a key; the key itself without any.
    static std::string localized(std::string_view key);
    // nullptr puts the default back.
    static void setCurrent(std::shared_ptr<const LibraryServices> services);
};

}  // namespace kl
