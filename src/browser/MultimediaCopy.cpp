#include "browser/MultimediaCopy.h"

#include <atomic>
#include <string>
#include <system_error>

#include <unistd.h>

namespace kl {

namespace fs = std::filesystem;

namespace {

fs::path temporaryBeside(const fs::path& destination) {
    static std::atomic<unsigned> counter{0};
    const fs::path folder = destination.has_parent_path() ? destination.parent_path() : fs::path(".");
    std::error_code error;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        fs::path candidate = folder / (".kl-copy-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                                       destination.filename().string());
        if (!fs::exists(candidate, error)) return candidate;
    }
    return folder / (".kl-copy-" + destination.filename().string());
}

}  // namespace

MultimediaCopyResult copyMultimediaFile(const fs::path& source, const fs::path& destination) {
    std::error_code error;
    if (!fs::is_regular_file(source, error)) return MultimediaCopyResult::CopyFailed;
    // Copying a file onto itself leaves it as it is.
    if (fs::exists(destination, error) && fs::equivalent(source, destination, error))
        return MultimediaCopyResult::Copied;
    if (fs::is_directory(destination, error)) return MultimediaCopyResult::CouldNotReplace;
    const fs::path temporary = temporaryBeside(destination);
    if (!fs::copy_file(source, temporary, fs::copy_options::none, error)) {
        fs::remove(temporary, error);
        return MultimediaCopyResult::CopyFailed;
    }
    fs::rename(temporary, destination, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return MultimediaCopyResult::CouldNotReplace;
    }
    return MultimediaCopyResult::Copied;
}

}  // namespace kl
