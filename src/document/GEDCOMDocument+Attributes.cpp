// The two property lists of a package. Values read from a file are taken
// only when they have the type they are written with; anything else keeps
// its default, and nothing read is ever turned into an object beyond plain
// values.
#include <cstdlib>

#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/IndexStyle.h"
#include "document/RecordsList.h"
#include "foundation/Logger.h"
#include "foundation/PropertyList.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kClass = "Class";
constexpr const char* kVersion = "Version";
constexpr const char* kGEDCOMFileName = "GEDCOM File Name";
constexpr const char* kRoots = "Multimedia Root Folders";
constexpr const char* kSaveThumbnails = "Save Thumbnails";
constexpr const char* kAlbumListings = "Record Album Listings";
constexpr const char* kColumnSettings = "Index Column Settings";
constexpr const char* kSelectedAlbum = "WEXSelectedAlbum";

struct PrintSlot {
    const char* key;
    Dictionary GEDCOMDocument::*field;
};

// Our print settings travel as an XML property list inside the data entry.
std::optional<Data> archive(const Dictionary& info) {
    auto xml = PropertyList::writeXML(Value(info));
    if (!xml) return std::nullopt;
    return Data(xml->begin(), xml->end());
}

// Print settings another program archived (a keyed archive of its own
// objects) are not ours to rebuild: fresh settings serve instead.
std::optional<Dictionary> unarchive(const Value* entry) {
    if (!entry || !entry->data()) return std::nullopt;
    std::string error;
    auto value = PropertyList::read(*entry->data(), &error);
    if (!value || !value->dictionary() || value->dictionary()->contains("$archiver")) {
        if (!error.empty()) Logger::log("Print settings could not be read: '{}'", error);
        return std::nullopt;
    }
    return *value->dictionary();
}

std::vector<std::string> stringsOf(const Array& array) {
    std::vector<std::string> strings;
    for (const Value& v : array)
        if (const std::string* s = v.string()) strings.push_back(*s);
    return strings;
}

}  // namespace

Dictionary GEDCOMDocument::dictionaryOfAttributes(const std::optional<std::string>& gedcomFileName) const {
    Dictionary attributes;
    attributes.set(kClass, kClassName);
    attributes.set(kVersion, version_);
    if (gedcomFileName) attributes.set(kGEDCOMFileName, *gedcomFileName);
    if (!multimediaRoot_.empty()) {
        Array roots;
        for (const auto& root : multimediaRoot_) roots.emplace_back(root);
        attributes.set(kRoots, std::move(roots));
    }
    attributes.set(kSaveThumbnails, saveThumbnailsInFile_);
    gedcomModel_->addAttributesToDictionary(attributes);
    addColumnSettings(attributes);
    addPrintSettings(attributes);
    return attributes;
}

void GEDCOMDocument::addColumnSettings(Dictionary& attributes) const {
    const Value* listings = attributes.get(kAlbumListings);
    if (!listings || !listings->array()) return;
    Dictionary columns;
    for (const Value& album : *listings->array()) {
        const Dictionary* a = album.dictionary();
        const Value* type = a ? a->get(RecordsList::kRecordType) : nullptr;
        if (!type || !type->string()) continue;
        auto style = albumColumns_.find(*type->string());
        if (style != albumColumns_.end() && style->second) columns.set(*type->string(), style->second->styleArray());
    }
    if (!columns.empty()) attributes.set(kColumnSettings, std::move(columns));
}

void GEDCOMDocument::addPrintSettings(Dictionary& attributes) const {
    static const PrintSlot slots[] = {{"Index PrintInfo", &GEDCOMDocument::printInfo_},
                                      {"Browser PrintInfo", &GEDCOMDocument::browserInfo_},
                                      {"Chart PrintInfo", &GEDCOMDocument::chartInfo_}};
    for (const auto& slot : slots)
        if (auto data = archive(this->*slot.field)) attributes.set(slot.key, std::move(*data));
}

Dictionary GEDCOMDocument::dictionaryOfSettings(const std::optional<std::string>& selectedType) const {
    std::string selected = selectedType ? *selectedType : ui().currentType();
    if (selected == "_RPT") selected = "INDI";
    return Dictionary{{kSelectedAlbum, selected}};
}

void GEDCOMDocument::readPackageAttributes(const Dictionary& attributes) {
    const Value* v = attributes.get(kVersion);
    version_ = v && (v->isInteger() || v->isReal()) ? static_cast<int32_t>(v->toInteger()) : 0;
    const Value* roots = attributes.get(kRoots);
    setMultimediaRoot(roots && roots->array() ? stringsOf(*roots->array()) : std::vector<std::string>{});
    const Value* thumbs = attributes.get(kSaveThumbnails);
    saveThumbnailsInFile_ = thumbs && thumbs->isNumber() && thumbs->toBool();
    gedcomModel_->readAttributes(attributes);
    readAttributesColumns(attributes);
    readPrintInfo(&attributes);
}

void GEDCOMDocument::readAttributesColumns(const Dictionary& attributes) {
    const Value* columns = attributes.get(kColumnSettings);
    if (!columns || !columns->dictionary()) return;
    const Dictionary& styles = *columns->dictionary();
    for (size_t i = 0; i < styles.size(); ++i)
        if (const Array* stored = styles.valueAt(i).array())
            albumColumns_[styles.keyAt(i)] = IndexStyle::indexStyleWith(*stored, styles.keyAt(i));
}

void GEDCOMDocument::readPackageSettings(const Dictionary& settings) {
    const Value* selected = settings.get(kSelectedAlbum);
    if (selected && selected->string()) firstSelectedAlbum_ = *selected->string();
}

void GEDCOMDocument::readPrintInfo(const Dictionary* attributes) {
    const Value* none = nullptr;
    printInfo_ = unarchive(attributes ? attributes->get("Index PrintInfo") : none).value_or(defaultPrintInfo());
    browserInfo_ = unarchive(attributes ? attributes->get("Browser PrintInfo") : none).value_or(defaultPrintInfo());
    chartInfo_ = unarchive(attributes ? attributes->get("Chart PrintInfo") : none).value_or(defaultPrintInfo());
}

std::string GEDCOMDocument::rootFolderFor(const fs::path& file) {
    std::error_code error;
    fs::path folder = fs::absolute(file, error).parent_path().lexically_normal();
    std::string text = folder.string();
    if (const char* home = std::getenv("HOME"); home && *home) {
        std::string h = fs::path(home).lexically_normal().string();
        while (h.size() > 1 && h.back() == '/') h.pop_back();
        if (text == h)
            text = "~";
        else if (text.starts_with(h + "/"))
            text = "~" + text.substr(h.size());
    }
    if (text.empty() || text.back() != '/') text.push_back('/');
    return text;
}

void GEDCOMDocument::setImportedAttributes(const std::optional<fs::path>& importedFile) {
    version_ = 1;
    multimediaRoot_.clear();
    if (importedFile) multimediaRoot_.push_back(rootFolderFor(*importedFile));
    saveThumbnailsInFile_ = false;
    gedcomModel_->makeAttributes();
    firstSelectedAlbum_.reset();
    readPrintInfo(nullptr);
}

}  // namespace kl
