#pragma once
// PackageFolder: what a save may do to the folders around a database
// package. It decides whether an existing path may be replaced by a new
// package (only a package or an empty folder may), names the hidden
// sibling folders a save writes into, removes those that a killed save of
// an earlier run left behind, and makes written files and folder entries
// durable.
//
// Ownership: static functions only. Thread: any.
#include <filesystem>
#include <optional>
#include <string>

#include "foundation/Value.h"

namespace kl {

class PackageFolder {
public:
    // The name of the package's GEDCOM file: the one its attributes name
    // when that is a plain name inside the package, else the package's
    // name with ".ged".
    static std::string gedcomFileName(const std::filesystem::path& package, const Dictionary* attributes);
    // A GEDCOM file name taken from the attributes must name a file inside
    // the package, never a path out of it.
    static bool isPlainFileName(const std::string& name);

    // Why a new package may not take the place of what is at `target`;
    // nullopt when nothing is there, or it is an empty folder or a package
    // (a folder with its attribute list and GEDCOM file).
    static std::optional<std::string> refusalToReplace(const std::filesystem::path& target);

    // Removes the hidden "saving" and "old" folders beside the package
    // (named by PackageSwap::siblingOf) that processes no longer running
    // left behind; answers how many it removed.
    static int removeLeftovers(const std::filesystem::path& package);

    // Flushes a file's bytes or a folder's entries to the disk; false when
    // the system reports that it could not.
    static bool synchronize(const std::filesystem::path& path);
};

}  // namespace kl
