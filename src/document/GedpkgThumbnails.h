#pragma once
// GedpkgThumbnails: the thumbnail store of one document: a JPEG image per
// multimedia record ID, kept as the file's bytes (the GUI decodes and makes
// them with Qt). Read from and written to the package's "thumbs" folder as
// "<record ID>.jpg".
//
// Ownership: owned by its document. Thread: filled by the reading worker
// and written by the saving worker while the main thread waits; the lock
// only keeps a GUI thumbnail job and a writer from tearing the map.
#include <cstddef>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace kl {

class GedpkgThumbnails {
public:
    std::optional<std::string> getThumbnail(const std::string& recordID) const;
    void setThumbnail(std::string jpegBytes, const std::string& recordID);
    void removeThumbnail(const std::string& recordID);
    std::size_t count() const;
    void clear();

    // Every regular file of the folder, keyed by its name without extension;
    // a missing folder reads nothing.
    void readThumbnailsFrom(const std::filesystem::path& folder);
    // Answers whether it wrote: only with thumbnails held and `enabled`.
    // Raises "KLFileWriteError" when a file cannot be written.
    bool writeThumbnailsTo(const std::filesystem::path& folder, bool enabled) const;

    // A record ID that can name a file inside the folder.
    static bool isStorableID(const std::string& recordID);

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> thumbs_;
};

}  // namespace kl
