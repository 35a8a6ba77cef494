#pragma once
// Copying a multimedia file into a folder of the document's multimedia
// library. The copy is written to a temporary file beside the destination
// and renamed over it, so a copy that fails half-way leaves the file that
// was there (and the source) as they were.
//
// Thread: any; touches only the two files and the temporary one.
#include <filesystem>

namespace kl {

enum class MultimediaCopyResult {
    Copied,
    // The destination could not be replaced; it is as it was.
    CouldNotReplace,
    // The source could not be read or the copy not written.
    CopyFailed,
};

MultimediaCopyResult copyMultimediaFile(const std::filesystem::path& source, const std::filesystem::path& destination);

}  // namespace kl
