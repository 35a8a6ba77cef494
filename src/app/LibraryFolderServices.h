#pragma once
// What the GEDCOM tree asks of the library folder, taken as a snapshot:
// records are read, sorted and searched on worker threads while the user
// may switch formats or languages on the main thread, so the tree never
// reads the folder itself. The folder publishes a new snapshot whenever
// its strings, events or library data change.
#include <map>
#include <string>
#include <unordered_map>

#include "model/LibraryServices.h"

namespace kl {

class LibraryFolder;

class LibraryFolderServices : public LibraryServices {
public:
    explicit LibraryFolderServices(const LibraryFolder& library);

    std::shared_ptr<const TagList> tagList(std::string_view name) const override;
    std::string localString(std::string_view key) const override;
    std::optional<std::string> eventName(std::string_view recordType, std::string_view tag) const override;

private:
    std::map<std::string, std::shared_ptr<const TagList>, std::less<>> tagLists_;
    std::unordered_map<std::string, std::string> strings_;
    std::map<std::string, std::string, std::less<>> individualEvents_;
    std::map<std::string, std::string, std::less<>> familyEvents_;
};

}  // namespace kl
