#include "index/IndexStyleLibrary.h"

#include "document/GEDCOMDocument.h"
#include "document/IndexStyle.h"
#include "document/RecordsIndices.h"
#include "foundation/UserDefaults.h"

namespace kl {

IndexStyleLibrary::IndexStyleLibrary(UserDefaults& defaults)
    : defaults_(defaults),
      indexStyles_(read(defaults, kIndexColumnSettings)),
      panelStyles_(read(defaults, kPanelColumnSettings)) {}

IndexStyleLibrary::Styles IndexStyleLibrary::read(const UserDefaults& defaults, const char* key) {
    Styles styles;
    const auto stored = defaults.dictionaryForKey(key);
    if (!stored) return styles;
    for (std::size_t i = 0; i < stored->size(); ++i)
        if (const Array* columns = stored->valueAt(i).array())
            styles[stored->keyAt(i)] = IndexStyle::indexStyleWith(*columns, stored->keyAt(i));
    return styles;
}

std::shared_ptr<IndexStyle> IndexStyleLibrary::cached(Styles& styles, const std::string& type) {
    auto& style = styles[type];
    if (!style) style = IndexStyle::defaultStyleForType(type);
    return style;
}

std::shared_ptr<IndexStyle> IndexStyleLibrary::indexStyleForType(const std::string& type, GEDCOMDocument* doc) {
    if (RecordsIndices::userType(type))
        return doc ? doc->albumStyle(type) : IndexStyle::defaultStyleForUserAlbum(type);
    return cached(indexStyles_, type);
}

std::shared_ptr<IndexStyle> IndexStyleLibrary::panelStyleForType(const std::string& type) {
    return cached(panelStyles_, type);
}

void IndexStyleLibrary::replaceIndexPreference(const std::optional<Array>& stored, const std::string& type) {
    if (stored) indexStyles_[type] = IndexStyle::indexStyleWith(*stored, type);
    else indexStyles_.erase(type);
}

void IndexStyleLibrary::saveStyles() {
    auto write = [this](const Styles& styles, const char* key) {
        Dictionary out;
        for (const auto& [type, style] : styles) out.set(type, Value(style->styleArray()));
        defaults_.setObject(Value(std::move(out)), key);
    };
    write(indexStyles_, kIndexColumnSettings);
    write(panelStyles_, kPanelColumnSettings);
}

}  // namespace kl
