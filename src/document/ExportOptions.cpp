#include "document/ExportOptions.h"

#include <algorithm>
#include <cmath>

#include "document/GEDCOMModel.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMStructure.h"

namespace kl {

namespace {

struct Settings {
    std::optional<std::string> characterSet;
    std::string lineEnding = "\n";
    int style = 0;
    int albumIndex = 0;
    bool keepLogs = false, keepPlaces = false, keepBooks = false;
    bool embedSettings = false, embedThumbnails = false;
    int embedMM = 0;
};

Settings& settings() {
    static Settings shared;
    return shared;
}

constexpr const char* kCharacterSets[] = {"ASCII", "ANSEL", "UTF-8", "UNICODE", "Windows"};
constexpr const char* kLineEndings[] = {"\r", "\n", "\r\n"};

}  // namespace

void ExportOptions::setupExportPreferences(const UserDefaults& defaults) {
    Settings& s = settings();
    s.characterSet = defaults.stringForKey(kCharacterSetKey);
    s.lineEnding = defaults.stringForKey(kLineEndingKey).value_or(defaultLineEnding());
    const std::int64_t length = defaults.integerForKey(kMaximumLineKey);
    if (length > 0) GEDCOMStructure::setMaximumGEDCOMLineLength(static_cast<int>(std::max<std::int64_t>(length, kShortestLine)));
    s.style = static_cast<int>(defaults.integerForKey(kStyleKey));
}

int ExportOptions::albumIndex() { return settings().albumIndex; }
void ExportOptions::setAlbumIndex(int index) { settings().albumIndex = index; }

std::string ExportOptions::currentLineEnding() { return settings().lineEnding; }

void ExportOptions::setCurrentLineEndingByIndex(int index, UserDefaults& defaults) {
    settings().lineEnding = index >= 0 && index <= 2 ? kLineEndings[index] : defaultLineEnding();
    defaults.setObject(Value(settings().lineEnding), kLineEndingKey);
}

int ExportOptions::lineEndingIndex() {
    const std::string& ending = settings().lineEnding;
    for (int i = 0; i < 3; ++i)
        if (ending == kLineEndings[i]) return i;
    return 1;
}

std::optional<std::string> ExportOptions::exportCharacterSet() { return settings().characterSet; }
void ExportOptions::setExportCharacterSet(std::optional<std::string> name) { settings().characterSet = std::move(name); }

int ExportOptions::exportEncoding() {
    const auto& name = settings().characterSet;
    if (!name) return 0;
    if (*name == "UTF-8") return 4;
    if (*name == "UTF-16" || *name == "UNICODE") return 10;
    if (*name == "Windows") return 12;
    if (*name == "ANSEL") return GEDCOMModel::kANSELEncoding;
    return 30;
}

int ExportOptions::exportEncodingIndex() {
    const std::string name = settings().characterSet.value_or("");
    if (name == "UTF-8") return 2;
    if (name == "UTF-16" || name == "UNICODE") return 3;
    if (name == "Windows") return 4;
    if (name == "ANSEL") return 1;
    return 0;
}

std::string ExportOptions::characterSetForIndex(int index) {
    return index >= 0 && index <= 4 ? kCharacterSets[index] : kCharacterSets[0];
}

void ExportOptions::setCurrentEncodingByIndex(int index, UserDefaults& defaults) {
    settings().characterSet = characterSetForIndex(index);
    defaults.setObject(Value(*settings().characterSet), kCharacterSetKey);
}

int ExportOptions::exportStyle() { return settings().style; }

void ExportOptions::setExportStyle(int style, UserDefaults& defaults) {
    Settings& s = settings();
    s.style = style;
    defaults.setObject(Value(static_cast<std::int64_t>(style)), kStyleKey);
    s.keepLogs = s.keepPlaces = s.keepBooks = false;
    s.embedSettings = s.embedThumbnails = false;
    s.embedMM = 0;
    switch (style) {
    case 1: s.embedMM = 1; break;
    case 2: s.embedMM = 2; break;
    case 3: s.keepLogs = s.keepPlaces = s.keepBooks = true; break;
    case 4:
        s.keepLogs = s.keepPlaces = s.keepBooks = true;
        s.embedSettings = s.embedThumbnails = true;
        break;
    case 5:
        s.keepLogs = s.keepPlaces = s.keepBooks = true;
        s.embedSettings = true;
        break;
    default: break;
    }
}

bool ExportOptions::omitLogs() { return !settings().keepLogs; }
bool ExportOptions::omitPlaces() { return !settings().keepPlaces; }
bool ExportOptions::omitBooks() { return !settings().keepBooks; }
int ExportOptions::embedMM() { return settings().embedMM; }
bool ExportOptions::embedSettings() { return settings().embedSettings; }
void ExportOptions::setEmbedSettings(bool embed) { settings().embedSettings = embed; }
bool ExportOptions::embedThumbnails() { return settings().embedThumbnails; }

std::uint32_t ExportOptions::exportFlags() {
    using enum GEDCOMModel::ExportFlag;
    std::uint32_t flags = 0;
    if (omitLogs()) flags |= kOmitLogs;
    if (embedMM() == 1) flags |= kEmbedMultimedia;
    if (embedMM() == 2) flags |= kEmbedMultimedia55;
    if (omitPlaces()) flags |= kOmitPlaces;
    if (omitBooks()) flags |= kOmitBooks;
    // An album is never a whole database: its settings stay home.
    if (embedSettings() && albumIndex() == 0) flags |= kEmbedSettings;
    if (embedThumbnails()) flags |= kThumbnails;
    return flags;
}

int ExportOptions::setMaximumLineLength(double length, UserDefaults& defaults) {
    const int kept = std::isfinite(length) ? static_cast<int>(std::clamp(length, double(kShortestLine), 1.0e6))
                                           : kShortestLine;
    GEDCOMStructure::setMaximumGEDCOMLineLength(kept);
    defaults.setObject(Value(static_cast<std::int64_t>(kept)), kMaximumLineKey);
    return kept;
}

}  // namespace kl
