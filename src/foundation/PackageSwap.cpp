#include "foundation/PackageSwap.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace kl {

namespace fs = std::filesystem;

fs::path PackageSwap::packagePath(const fs::path& path) {
    fs::path p = path.lexically_normal();
    if (p.filename().empty()) p = p.parent_path();
    return p;
}

fs::path PackageSwap::siblingOf(const fs::path& package, const std::string& what) {
    static std::atomic<unsigned> counter{0};
    return package.parent_path() /
           ("." + package.filename().string() + "." + what + "-" + std::to_string(::getpid()) + "-" +
            std::to_string(++counter));
}

PackageSwap::Result PackageSwap::replacePackage(const fs::path& written, const fs::path& target) {
    std::error_code error;
    if (!fs::exists(fs::symlink_status(target, error))) {
        fs::rename(written, target, error);
        if (error) return {Failure::NewNotPlaced, error.message()};
        return {};
    }
    if (::renameat2(AT_FDCWD, written.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        fs::remove_all(written, error);
        return {};
    }
    const fs::path aside = siblingOf(target, "old");
    fs::rename(target, aside, error);
    if (error) return {Failure::OldNotMovedAside, error.message()};
    fs::rename(written, target, error);
    if (error) {
        std::error_code ignored;
        fs::rename(aside, target, ignored);
        return {Failure::NewNotPlaced, error.message()};
    }
    fs::remove_all(aside, error);
    return {};
}

}  // namespace kl
