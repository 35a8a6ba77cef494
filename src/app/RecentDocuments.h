#pragma once
// RecentDocuments: the Open Recent list of the document controller, kept in
// the user defaults under "Recent Documents", newest first. Format and
// extension packages and the library's sample database are never listed.
//
// Thread: main thread.
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/UserDefaults.h"

namespace kl {

class RecentDocuments {
public:
    static constexpr const char* defaultsKey = "Recent Documents";
    static constexpr std::size_t maximumCount = 10;

    explicit RecentDocuments(UserDefaults& defaults = UserDefaults::standard()) : defaults_(defaults) {}

    // Whether a path belongs in the list (the filter of noteNewRecentDocumentURL).
    static bool isListable(const std::filesystem::path& path);
    // Puts the path first (once) when it is listable; answers whether it was.
    bool noteNewRecentDocumentURL(const std::filesystem::path& path);
    std::vector<std::filesystem::path> recentDocumentURLs() const;
    void clearRecentDocuments();

private:
    UserDefaults& defaults_;
};

}  // namespace kl
