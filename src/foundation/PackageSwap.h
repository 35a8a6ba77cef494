#pragma once
// PackageSwap: the safe way to save a package (a folder that stands for one
// document). The caller writes a complete new package into a sibling folder
// and only then swaps it in, so a save that fails half-way leaves the old
// package byte-identical. Used by every document kind that saves a folder.
//
// Thread: any; every call works on the paths it is given only.
#include <filesystem>
#include <string>

namespace kl {

class PackageSwap {
public:
    enum class Failure {
        None,
        OldNotMovedAside,  // the old package could not be moved out of the way
        NewNotPlaced,      // the new package could not take the target's name
    };

    struct Result {
        Failure failure = Failure::None;
        // The system's reason when failure is not None.
        std::string message;
        explicit operator bool() const { return failure == Failure::None; }
    };

    // "/a/b.pkg/" and "/a/b.pkg" name the same package.
    static std::filesystem::path packagePath(const std::filesystem::path& path);

    // A fresh hidden name beside the package for "saving" or "old"; never
    // the same twice in one process.
    static std::filesystem::path siblingOf(const std::filesystem::path& package, const std::string& what);

    // Puts the written folder in the target's place. Where the file system
    // can exchange two names in one step the old package is never missing;
    // elsewhere it is moved aside first and moved back when the new one
    // cannot take its place. On success the written folder is gone; on
    // failure the target is as it was and the written folder is left to the
    // caller.
    static Result replacePackage(const std::filesystem::path& written, const std::filesystem::path& target);
};

}  // namespace kl
