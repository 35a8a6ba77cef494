#pragma once
// ExtensionInstaller: extension (.kplug) and interface format (.kfrmt)
// packages put into the user or the system library, and taken out again.
// A package goes to "Formats" (formats) or "Scripts" (everything else) of
// the chosen library, below the "category" its manifest names. Replacing an
// installed copy writes the new one beside it and swaps it in only after
// the copy succeeded, so a failed copy keeps the old version. A category
// that would leave the library (absolute, "." or ".." parts, NUL) is
// refused. After every change the Extensions menu is rebuilt.
//
// The questions and alerts go through the prompts the desktop gives.
//
// Ownership: made for one command; the library folder outlives it.
// Thread: main thread.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class LibraryFolder;

struct ExtensionPrompts {
    // "Overwrite" (true) or "Skip" for an installed copy.
    std::function<bool(const std::string& message, const std::string& informative)> askOverwrite;
    std::function<void(const std::string& message, const std::string& informative)> criticalAlert;
    std::function<void(const std::string& message, const std::string& informative)> infoAlert;
    // The list choice: [clicked title, items, row numbers from 1].
    std::function<Array(const Dictionary& arguments)> choose;
    std::function<void()> beep;
};

class ExtensionInstaller {
public:
    enum Location { UserLibrary = 0, SystemLibrary = 1 };
    // Keep an installed copy silently; ask and report; replace silently.
    static constexpr int keepInstalled = 0;
    static constexpr int askAndReport = -1;

    // currentFormat: the full path of the format in use ("~" expanded).
    ExtensionInstaller(LibraryFolder& library, ExtensionPrompts prompts, std::filesystem::path currentFormat = {});

    // The number of items installed.
    int installPlugIns(const std::vector<std::filesystem::path>& paths, Location location, int method);
    // Offers the removable packages of one library in the list choice and
    // removes the chosen ones.
    void removePlugins(Location location);

    struct Candidate {
        std::filesystem::path path;
        std::string name;
    };
    std::vector<Candidate> removalCandidates(Location location) const;

    // Where a package goes, or the refusal message of its category.
    std::filesystem::path destination(const std::filesystem::path& item, Location location,
                                      const std::string& category) const;
    static bool categoryIsSafe(const std::string& category);

private:
    bool installOne(const std::filesystem::path& item, Location location, int method);

    LibraryFolder& library_;
    ExtensionPrompts prompts_;
    std::filesystem::path currentFormat_;
};

}  // namespace kl
