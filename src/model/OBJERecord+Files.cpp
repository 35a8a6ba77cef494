// The object's file on disk: finding it, copying it (never over another
// file), attaching a new one, filling an object from a dropped image, and
// following the document's root folders when they change.
#include <cctype>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "dates/DateBridge.h"
#include "foundation/FormatText.h"
#include "foundation/TildePath.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMStructure.h"
#include "model/ImageMetadata.h"
#include "model/LibraryServices.h"
#include "model/OBJERecord.h"
#include "model/RecordStore.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRootWillBeRemoved = "Multimedia Root Folder Will be Removed";
constexpr const char* kRootsChanged = "Multimedia Root Folders Changed";
constexpr const char* kAssumeDayFirst = "Assume dd/mm/yy if Ambiguous";
// Seconds from 1 January 1970 to 1 January 2001, the reference date of
// dropped-image dates.
constexpr std::int64_t kReferenceDateOffset = 978307200;

std::string localized(const char* key) { return LibraryServices::current()->localString(key); }

bool existsAt(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool isReadable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
}

std::string lastComponent(const std::string& path) {
    auto components = OBJERecord::pathComponents(path);
    return components.empty() ? std::string() : components.back();
}

// "12 Mar 2010" or "Mar 12 2010": what the date engine reads in either
// order of its day-first setting.
std::string englishDate(std::int64_t secondsSinceReference, bool dayFirst) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t when = static_cast<std::time_t>(secondsSinceReference + kReferenceDateOffset);
    std::tm local{};
    if (!localtime_r(&when, &local)) return {};
    const std::string day = std::to_string(local.tm_mday);
    const std::string month = kMonths[local.tm_mon];
    const std::string year = std::to_string(local.tm_year + 1900);
    return dayFirst ? day + " " + month + " " + year : month + " " + day + " " + year;
}

// "file:///a%20b.jpg" -> "/a b.jpg"; nullopt for any other address.
std::optional<std::string> filePathOfURL(const std::string& address) {
    constexpr std::string_view scheme = "file://";
    if (!address.starts_with(scheme)) return std::nullopt;
    std::string_view rest = std::string_view(address).substr(scheme.size());
    if (rest.starts_with("localhost/")) rest.remove_prefix(9);
    std::string path;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && std::isxdigit(static_cast<unsigned char>(rest[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(rest[i + 2]))) {
            path.push_back(static_cast<char>(std::stoi(std::string(rest.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else {
            path.push_back(rest[i]);
        }
    }
    return path;
}

}  // namespace

// ---- finding the file

std::optional<OBJERecord::Resolved> OBJERecord::resolveStored() const {
    bool isURL = false;
    const std::string stored = mmFileName(&isURL);
    if (isURL || stored.empty()) return std::nullopt;
    return multimediaFile(stored, model() ? model()->multimediaRoot() : Roots{},
                          model() ? model()->fileURL() : std::nullopt);
}

std::optional<std::string> OBJERecord::mmFileFullPathOrURL(bool* isURL) const {
    bool url = false;
    mmFileName(&url);
    if (isURL) *isURL = url;
    auto found = resolveStored();
    if (!found) return std::nullopt;
    return found->fullPath();
}

std::string OBJERecord::readFullPath() const {
    bool isURL = false;
    const std::string stored = mmFileName(&isURL);
    if (isURL) return stored;
    return mmFileFullPathOrURL().value_or(std::string());
}

OBJERecord::ImageState OBJERecord::getMMImageInFile(bool allowThumb) const {
    ImageState state;
    if (allowThumb && model()) {
        if (auto thumb = model()->getThumbnail(grecordID())) {
            state.thumbnail = std::move(thumb);
            state.gotThumb = true;
            state.canRead = true;
            return state;
        }
    }
    mmFileName(&state.isURL);
    auto full = state.isURL ? std::nullopt : mmFileFullPathOrURL();
    if (!full) {
        state.found = false;
        return state;
    }
    state.fullPath = *full;
    state.isImage = ImageMetadata::isImageFile(*full);
    state.canRead = state.isImage || isReadable(*full);
    return state;
}

OBJERecord::Portrait OBJERecord::portraitImage(std::string* fullPath) const {
    const ImageState state = getMMImageInFile(fullPath == nullptr);
    Portrait portrait;
    portrait.canRead = state.canRead;
    if (state.gotThumb) {
        portrait.thumbnail = state.thumbnail;
    } else if (state.isURL) {
        portrait.iconName = "URLIcon";
    } else if (!state.found) {
        portrait.iconName = "FileNotFoundIcon";
    } else if (state.isImage) {
        portrait.imagePath = state.fullPath;
    } else {
        // The library picks the icon by format word and readability.
        portrait.iconName = mmFormat();
    }
    if (fullPath && state.fullPath) *fullPath = *state.fullPath;
    return portrait;
}

// ---- copying

std::optional<std::string> OBJERecord::cpMmFileToPath(const std::string& destination, bool isCall) const {
    bool isURL = false;
    auto source = mmFileFullPathOrURL(&isURL);
    if (!source) {
        if (isCall) return std::string("cannotCopy");
        return localized(isURL ? "Cannot copy a URL to a file"
                               : "The file for this multimedia object could not be found");
    }
    const std::string target = expandTilde(destination);
    if (!target.empty() && !existsAt(target)) {
        std::error_code error;
        // Without overwrite options the copy refuses a file that appeared
        // meanwhile instead of replacing it.
        if (fs::copy_file(*source, target, fs::copy_options::none, error)) return std::nullopt;
        if (error != std::errc::file_exists && fs::is_regular_file(target)) fs::remove(target, error);
    }
    if (isCall) return std::string("copyFailed");
    return formatText(localized("File Manager error copying file '%@' to file '%@'"),
                      {lastComponent(*source), lastComponent(target)});
}

std::optional<std::string> OBJERecord::scriptCopyFileToPath(const Dictionary& arguments) const {
    const Value* destination = arguments.get("destPath");
    if (!destination || destination->isNull() || destination->toString().empty())
        return std::string("The copy file command needs a destination path");
    return cpMmFileToPath(destination->toString(), false);
}

std::optional<std::string> OBJERecord::copyMmFileIntoFolder(const std::string& folder, std::string* error) const {
    bool isURL = false;
    auto source = mmFileFullPathOrURL(&isURL);
    if (!source) {
        if (error)
            *error = localized(isURL ? "Cannot copy a URL to a file"
                                     : "The file for this multimedia object could not be found");
        return std::nullopt;
    }
    const std::string target = uniqueFileName(standardizedPath(folder) + "/" + lastComponent(*source));
    if (auto failed = cpMmFileToPath(target, false)) {
        if (error) *error = *failed;
        return std::nullopt;
    }
    return target;
}

// ---- attaching a file

void OBJERecord::attachMultimedia(const std::string& path, const std::optional<std::string>& title,
                                  const std::optional<std::string>& format, const std::optional<std::string>& type) {
    std::optional<std::string> newTitle = title, newFormat = format, newType = type;
    if (auto old = fileStructure()) {
        if (!newTitle)
            if (auto titl = old->firstChildWithTag("TITL")) newTitle = titl->contents();
        if (!newFormat)
            if (auto form = old->firstChildWithTag("FORM")) {
                newFormat = form->contents();
                if (!newType || newType->empty())
                    if (auto medi = form->firstChildWithTag("MEDI")) newType = medi->contents();
            }
        removeStructure(old, this, nullptr);
    }
    auto file = line(1, OBJEFileTag(), path);
    addStructure(file, this, nullptr, false);
    auto form = line(2, "FORM", newFormat && !newFormat->empty() ? *newFormat : std::string(kUnknownFormat));
    addStructure(form, file.get(), nullptr, false);
    if (newType && !newType->empty() && *newType != "(unknown)")
        addStructure(line(3, "MEDI", *newType), form.get(), nullptr, false);
    if (newTitle) addStructure(line(2, "TITL", *newTitle), file.get(), nullptr, false);
    dropThumbnail();
    setChangeDate();
}

// ---- dropped images

std::optional<Dictionary> OBJERecord::getFileProperties(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    Dictionary properties;
    const auto keywords = ImageMetadata::iptcKeywords(path);
    if (!keywords.empty()) {
        Array words;
        for (const auto& word : keywords) words.emplace_back(word);
        properties.set("iptcKeywords", Value(std::move(words)));
    }
    if (auto position = ImageMetadata::gpsPosition(path))
        properties.set("GPSinPhoto", Value(ImageMetadata::formatPosition(*position)));
    if (properties.empty()) return std::nullopt;
    return properties;
}

Dictionary OBJERecord::droppedImageInfo(const std::string& address, const std::optional<std::string>& title) {
    Dictionary info;
    if (!title) {
        info.set("ImagePath", Value(address));
    } else if (auto path = filePathOfURL(address)) {
        info.set("ImagePath", Value(*path));
        info.set("Caption", Value(*title));
    } else {
        info.set("ImagePath", Value(address));
        info.set("Caption", Value(*title));
        info.set("isWebURL", Value(true));
    }
    const Value* path = info.get("ImagePath");
    if (path && !info.get("isWebURL"))
        if (auto properties = getFileProperties(path->toString()))
            for (std::size_t i = 0; i < properties->size(); ++i) info.set(properties->keyAt(i), properties->valueAt(i));
    return info;
}

bool OBJERecord::addImageProperties(const Dictionary& info) {
    bool changed = false;
    if (const Value* seconds = info.get("DateAsTimerInterval"); seconds && !seconds->isNull()) {
        const bool dayFirst = UserDefaults::standard().boolForKey(kAssumeDayFirst);
        const std::string text = englishDate(seconds->toInteger(0), dayFirst);
        bool valid = false;
        const std::string normal = text.empty() ? text : validateDateString(text, valid);
        if (valid) {
            if (auto date = firstChildWithTag("_DATE")) {
                if (date->contents() != normal) {
                    date->setContents(normal);
                    changed = true;
                }
            } else {
                setDataWithTag("_DATE", normal);
                changed = true;
            }
        }
    }
    if (const Value* comment = info.get("Comment"); comment && !comment->toString().empty() && model()) {
        bool isNew = false;
        auto note = model()->addNoteRecord(comment->toString(), isNew);
        if (note && (isNew || !hasLink("NOTE", note->grecordID()))) {
            dropNOTERecord(note);
            changed = true;
        }
    }
    const Value* gps = info.get("GPSinPhoto");
    if (!gps) return changed;
    if (auto place = firstChildWithTag("_LOC")) {
        if (auto position = place->firstChildWithTag("_GPS"))
            position->setContents(gps->toString());
        else
            addStructure(line(2, "_GPS", gps->toString()), place.get(), place->lastStructure().get(), false);
    } else {
        auto newPlace = line(1, "_LOC", "");
        newPlace->GEDCOMObject::addStructure(line(2, "_GPS", gps->toString()));
        addStructure(newPlace, this, lastStructure().get(), false);
    }
    return true;
}

// ---- root folders

void OBJERecord::removeRootFolder(const std::string& folder) {
    auto found = resolveStored();
    if (!found || !found->root || *found->root != folder) return;
    setFileLink(*found->root + found->stored);
}

void OBJERecord::changedRootFolder() {
    auto found = resolveStored();
    if (!found) return;
    const std::string full = found->root ? *found->root + found->stored : found->stored;
    auto again = multimediaFile(full, model()->multimediaRoot(), model()->fileURL());
    if (again && again->stored != mmFileName()) setFileLink(again->stored);
}

void OBJERecord::registerRecordNotifications() {
    rootWillBeRemoved_.reset();
    rootsChanged_.reset();
    GEDCOMRecord::registerRecordNotifications();
    if (!model()) return;
    auto& center = NotificationCenter::defaultCenter();
    const void* sender = model()->notificationObject();
    rootWillBeRemoved_ = center.addObserver(kRootWillBeRemoved, sender, [this](const Notification& note) {
        if (const Value* folder = note.userInfo.get("folder")) removeRootFolder(folder->toString());
    });
    rootsChanged_ = center.addObserver(kRootsChanged, sender, [this](const Notification&) { changedRootFolder(); });
}

// ---- structure changes

void OBJERecord::dropThumbnail() const {
    if (model()) model()->removeThumbnail(grecordID());
}

void OBJERecord::addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                              const GEDCOMObject* afterStructure, bool scroll) {
    if (structure && structure->gtag() == OBJEFileTag()) dropThumbnail();
    GEDCOMRecord::addStructure(structure, inParent, afterStructure, scroll);
}

void OBJERecord::addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                              const GEDCOMObject* afterStructure) {
    if (structure && structure->gtag() == OBJEFileTag()) dropThumbnail();
    GEDCOMRecord::addStructure(structure, inParent, afterStructure);
}

void OBJERecord::removeStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                                 std::shared_ptr<Object> fromBrowser) {
    if (structure && structure->gtag() == OBJEFileTag()) dropThumbnail();
    GEDCOMRecord::removeStructure(structure, inParent, std::move(fromBrowser));
}

}  // namespace kl
