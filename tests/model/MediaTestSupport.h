#pragma once
// Multimedia test pieces: a record store that also plays the document
// (root folders, its file, thumbnails, notes made from dropped comments,
// style-sheet calls), a scratch folder standing in as the home folder, and
// a tiny JPEG written at run time, tagged through Exiv2.
#include <gtest/gtest.h>

#include <exiv2/exiv2.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FakeRecordStore.h"
#include "model/OBJERecord.h"

namespace kl::test {

class MediaStore : public FakeRecordStore {
public:
    std::vector<std::string> roots;
    std::optional<std::filesystem::path> file;
    std::map<std::string, std::string> thumbs;
    std::vector<std::string> cssDetached;
    std::vector<std::pair<std::string, std::string>> cssRenamed;  // new, old

    std::vector<std::string> multimediaRoot() const override { return roots; }
    std::optional<std::filesystem::path> fileURL() const override { return file; }
    std::optional<std::string> getThumbnail(const std::string& id) override {
        auto it = thumbs.find(id);
        if (it == thumbs.end()) return std::nullopt;
        return it->second;
    }
    void removeThumbnail(const std::string& id) override { thumbs.erase(id); }
    void detachAllCSSLinksTo(const std::string& id) override { cssDetached.push_back(id); }
    void addCSSDictionaryObject(const std::string& newID, const std::string& oldID) override {
        cssRenamed.emplace_back(newID, oldID);
    }
    std::shared_ptr<GEDCOMRecord> addNoteRecord(const std::string& text, bool& newRecord) override {
        for (auto& [id, record] : records)
            if (record->isType("NOTE") && record->dataWithTag("CONC") == text) {
                newRecord = false;
                return record;
            }
        newRecord = true;
        const std::string id = "@N" + std::to_string(records.size() + 1) + "@";
        auto note = std::make_shared<GEDCOMRecord>(id, "NOTE");
        note->reparse("0 " + id + " NOTE\n1 CONC " + text);
        install(note);
        return note;
    }
    // Tells the records what the document would post.
    void postRootWillBeRemoved(const std::string& folder) {
        NotificationCenter::defaultCenter().post("Multimedia Root Folder Will be Removed", notificationObject(),
                                                 Dictionary{{"folder", Value(folder)}});
    }
    void postRootsChanged() {
        NotificationCenter::defaultCenter().post("Multimedia Root Folders Changed", notificationObject(), {});
    }
};

// A scratch folder that is the home folder while the object lives.
class ScratchHome {
public:
    ScratchHome() {
        root_ = std::filesystem::temp_directory_path() /
                ("kl-media-" + std::to_string(::getpid()) + "-" + std::to_string(++counter()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(home());
        if (const char* old = std::getenv("HOME")) oldHome_ = old;
        ::setenv("HOME", home().c_str(), 1);
    }
    ~ScratchHome() {
        if (oldHome_)
            ::setenv("HOME", oldHome_->c_str(), 1);
        else
            ::unsetenv("HOME");
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }
    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    std::filesystem::path home() const { return root_ / "Users" / "me"; }
    // A path under the scratch folder, outside the home folder.
    std::filesystem::path outside(const std::string& relative) const { return root_ / relative; }
    std::string rootText() const { return root_.string(); }

    // Makes the file (and its folders) with the text.
    static std::string touch(const std::filesystem::path& path, const std::string& text = "data") {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    static std::string read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path root_;
    std::optional<std::string> oldHome_;
};

// A 1x1 grey baseline JPEG: enough for any reader to take it as an image.
inline void writeTinyJpeg(const std::filesystem::path& path) {
    std::string bytes = "\xFF\xD8";
    bytes += std::string("\xFF\xDB\x00\x43\x00", 5) + std::string(64, '\x01');
    bytes += std::string("\xFF\xC0\x00\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00", 13);
    const std::string counts = std::string("\x01", 1) + std::string(15, '\0');
    bytes += std::string("\xFF\xC4\x00\x14\x00", 5) + counts + std::string(1, '\0');
    bytes += std::string("\xFF\xC4\x00\x14\x10", 5) + counts + std::string(1, '\0');
    bytes += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
    bytes += "\x3F\xFF\xD9";
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

struct PhotoTags {
    std::vector<std::string> keywords;
    std::optional<std::string> latitude;  // Exif rationals, "45/1 30/1 0/1"
    std::string latitudeRef = "N";
    std::optional<std::string> longitude;
    std::string longitudeRef = "E";
};

inline void tagJpeg(const std::filesystem::path& path, const PhotoTags& tags) {
    auto image = Exiv2::ImageFactory::open(path.string());
    image->readMetadata();
    Exiv2::IptcData iptc;
    for (const auto& word : tags.keywords) {
        Exiv2::StringValue value(word);
        iptc.add(Exiv2::IptcKey("Iptc.Application2.Keywords"), &value);
    }
    Exiv2::ExifData exif;
    if (tags.latitude) {
        exif["Exif.GPSInfo.GPSLatitude"] = *tags.latitude;
        exif["Exif.GPSInfo.GPSLatitudeRef"] = tags.latitudeRef;
    }
    if (tags.longitude) {
        exif["Exif.GPSInfo.GPSLongitude"] = *tags.longitude;
        exif["Exif.GPSInfo.GPSLongitudeRef"] = tags.longitudeRef;
    }
    image->setIptcData(iptc);
    image->setExifData(exif);
    image->writeMetadata();
}

}  // namespace kl::test
