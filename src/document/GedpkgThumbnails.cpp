#include "document/GedpkgThumbnails.h"

#include <fstream>
#include <iterator>

#include "foundation/ByteSink.h"
#include "foundation/Exception.h"

namespace kl {

namespace fs = std::filesystem;

std::optional<std::string> GedpkgThumbnails::getThumbnail(const std::string& recordID) const {
    std::lock_guard lock(mutex_);
    auto it = thumbs_.find(recordID);
    if (it == thumbs_.end()) return std::nullopt;
    return it->second;
}

void GedpkgThumbnails::setThumbnail(std::string jpegBytes, const std::string& recordID) {
    std::lock_guard lock(mutex_);
    thumbs_[recordID] = std::move(jpegBytes);
}

void GedpkgThumbnails::removeThumbnail(const std::string& recordID) {
    std::lock_guard lock(mutex_);
    thumbs_.erase(recordID);
}

std::size_t GedpkgThumbnails::count() const {
    std::lock_guard lock(mutex_);
    return thumbs_.size();
}

void GedpkgThumbnails::clear() {
    std::lock_guard lock(mutex_);
    thumbs_.clear();
}

// A file name taken from a record ID must stay inside the folder.
bool GedpkgThumbnails::isStorableID(const std::string& recordID) {
    return !recordID.empty() && recordID != "." && recordID != ".." &&
           recordID.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

void GedpkgThumbnails::readThumbnailsFrom(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) return;
    std::map<std::string, std::string> read;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (!entry.is_regular_file(error)) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        if (!in) continue;
        read[entry.path().stem().string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::lock_guard lock(mutex_);
    for (auto& [id, bytes] : read) thumbs_[id] = std::move(bytes);
}

bool GedpkgThumbnails::writeThumbnailsTo(const fs::path& folder, bool enabled) const {
    std::lock_guard lock(mutex_);
    if (!enabled || thumbs_.empty()) return false;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) raise(exception_names::FileWriteError, "Error creating the thumbnails folder: " + error.message());
    for (const auto& [id, bytes] : thumbs_) {
        if (!isStorableID(id)) continue;
        FileSink sink(folder / (id + ".jpg"));
        sink.write(bytes);
        sink.close();
    }
    return true;
}

}  // namespace kl
