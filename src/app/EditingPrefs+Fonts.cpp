#include <algorithm>

#include "app/AppController.h"
#include "app/EditingPrefs.h"

namespace kl {

namespace {

const Font kSystemFont{"Helvetica", 12, 0};
const Font kRequiredFont{"Courier", 12, 0};

// One "Fonts" entry of the file: [font archive, colour archive, underline],
// the last two optional.
struct FontEntry {
    Font font;
    Color color;
    int underline;
};

std::optional<Data> dataItem(const Array* items, std::size_t i) {
    if (!items || i >= items->size()) return std::nullopt;
    if (const Data* d = (*items)[i].data()) return *d;
    return Data{};  // present but not data: unreadable, so the default
}

FontEntry fontEntry(const Value& value, const Color& missingColor) {
    const Array* items = value.array();
    const std::size_t n = items ? items->size() : 0;
    FontEntry e;
    e.font = AppController::unarchive(dataItem(items, 0), kSystemFont);
    e.color = n >= 2 ? AppController::unarchive(dataItem(items, 1), missingColor) : missingColor;
    e.underline = n >= 3 ? int((*items)[2].toInteger(0)) : 0;
    return e;
}

// The colours that stand for themselves by name when a format defines no
// colour of that name.
const std::map<std::string, Color, std::less<>>& stockColors() {
    static const std::map<std::string, Color, std::less<>> table = {
        {"black", Color::black()},
        {"blue", {0, 0, 1, 1}},
        {"brown", {0.6, 0.4, 0.2, 1}},
        {"clear", {0, 0, 0, 0}},
        {"cyan", {0, 1, 1, 1}},
        {"darkGray", Color::white(1.0 / 3.0)},
        {"gray", Color::gray()},
        {"green", {0, 1, 0, 1}},
        {"lightGray", Color::lightGray()},
        {"magenta", {1, 0, 1, 1}},
        {"orange", {1, 0.5, 0, 1}},
        {"purple", {0.5, 0, 0.5, 1}},
        {"red", {1, 0, 0, 1}},
        {"white", Color::white(1)},
        {"yellow", {1, 1, 0, 1}},
        {"text", Color::black()},
        {"textBackground", Color::white(1)},
        {"windowBackground", Color::white(0.93)},
        {"controlBackground", Color::white(1)},
        {"label", Color::black()},
    };
    return table;
}

template <class T>
std::optional<T> find(const std::map<std::string, T>& table, const std::string& name) {
    if (auto it = table.find(name); it != table.end()) return it->second;
    return std::nullopt;
}

template <class T>
std::optional<T> atIndex(const std::vector<std::string>& list, const std::map<std::string, T>& table, int index) {
    if (index < 0 || std::size_t(index) >= list.size()) return std::nullopt;
    return find(table, list[std::size_t(index)]);
}

}  // namespace

std::optional<std::string> EditingPrefs::lightNameOf(const std::string& name) {
    constexpr std::string_view dark = "Dark";
    if (name.size() < dark.size() || name.compare(name.size() - dark.size(), dark.size(), dark) != 0) return {};
    std::string light = name.substr(0, name.size() - dark.size());
    if (light.empty() || (light.back() != ' ' && light.back() != '\t')) return {};
    while (!light.empty() && (light.back() == ' ' || light.back() == '\t')) light.pop_back();
    if (light.empty()) return {};
    return light;
}

void EditingPrefs::releaseEditItems() {
    initVariables_.clear();
    formatVariables_.clear();
    fonts_.clear();
    fontColors_.clear();
    fontUnderlines_.clear();
    fontsList_.clear();
    colors_.clear();
    colorsList_.clear();
}

void EditingPrefs::readSettings(const Dictionary& plist, std::string_view format) {
    releaseEditItems();
    const Value* variables = plist.get("Variables");
    readVariables(variables && variables->array() ? *variables->array() : Array{}, format);
    changed_ = false;
    const Value* fonts = plist.get("Fonts");
    readFonts(fonts && fonts->dictionary() ? *fonts->dictionary() : Dictionary{});
    const Value* colors = plist.get("Colors");
    readColors(colors && colors->dictionary() ? *colors->dictionary() : Dictionary{});
}

void EditingPrefs::readFonts(const Dictionary& file) {
    std::vector<std::string> darkNames;
    auto store = [this](const std::string& name, const FontEntry& e) {
        fonts_[name] = e.font;
        fontColors_[name] = e.color;
        fontUnderlines_[name] = e.underline;
    };
    for (std::size_t i = 0; i < file.size(); ++i) {
        const std::string& name = file.keyAt(i);
        (lightNameOf(name) ? darkNames : fontsList_).push_back(name);
        store(name, fontEntry(file.valueAt(i), Color::black()));
    }
    for (const auto& name : requiredFonts()) verifyRequiredFont(name);
    for (const auto& dark : darkNames) {
        const std::string light = *lightNameOf(dark);
        if (fonts_.count(light)) continue;
        store(light, fontEntry(*file.get(dark), Color::black()));
        fontsList_.push_back(light);
        changed_ = true;
    }
    const std::size_t lights = fontsList_.size();
    for (std::size_t i = 0; i < lights; ++i) {
        const std::string light = fontsList_[i];
        const std::string dark = light + " Dark";
        if (const Value* entry = file.get(light)) {
            // The dark variant always shares the light face.
            const FontEntry e = fontEntry(*entry, Color::gray());
            const bool hadDark = fonts_.count(dark) > 0;
            fonts_[dark] = e.font;
            if (!hadDark) {
                fontColors_[dark] = e.color;
                changed_ = true;
            }
            fontUnderlines_[dark] = e.underline;
        }
        fontsList_.push_back(dark);
    }
}

void EditingPrefs::verifyRequiredFont(const std::string& name) {
    if (fonts_.count(name)) return;
    fontsList_.push_back(name);
    fonts_[name] = kRequiredFont;
    fontColors_[name] = Color::black();
    fontUnderlines_[name] = 0;
}

void EditingPrefs::readColors(const Dictionary& file) {
    std::vector<std::string> darkNames;
    for (std::size_t i = 0; i < file.size(); ++i) {
        const std::string& name = file.keyAt(i);
        const Data* data = file.valueAt(i).data();
        colors_[name] = AppController::unarchive(data ? std::optional<Data>(*data) : Data{}, Color::gray());
        (lightNameOf(name) ? darkNames : colorsList_).push_back(name);
    }
    for (const auto& [name, color] : {std::pair{"Window Background", Color::lightGray()},
                                      std::pair{"Editing Background", Color::white(1)}}) {
        if (colors_.count(name)) continue;
        colors_[name] = color;
        colorsList_.push_back(name);
    }
    for (const auto& dark : darkNames) {
        const std::string light = *lightNameOf(dark);
        if (colors_.count(light)) continue;
        colors_[light] = colors_[dark];
        colorsList_.push_back(light);
        changed_ = true;
    }
    const std::size_t lights = colorsList_.size();
    for (std::size_t i = 0; i < lights; ++i) {
        const std::string dark = colorsList_[i] + " Dark";
        if (!colors_.count(dark)) {
            const Value* light = file.get(colorsList_[i]);
            const Data* data = light ? light->data() : nullptr;
            colors_[dark] = data ? AppController::unarchive(*data, Color::gray()) : Color::gray();
            changed_ = true;
        }
        colorsList_.push_back(dark);
    }
}

// ---- Lookups ------------------------------------------------------------------

template <class T>
std::optional<T> EditingPrefs::lookUp(const std::map<std::string, T>& table, const std::string& name) const {
    if (inDarkMode_)
        if (auto dark = find(table, name + " Dark")) return dark;
    return find(table, name);
}

std::optional<Font> EditingPrefs::fontNamed(const std::string& name) const { return lookUp(fonts_, name); }

std::optional<Color> EditingPrefs::fontColorNamed(const std::string& name) const {
    return lookUp(fontColors_, name);
}

int EditingPrefs::fontUnderlineNamed(const std::string& name) const {
    return lookUp(fontUnderlines_, name).value_or(0);
}

std::optional<Color> EditingPrefs::colorNamed(const std::string& name) const {
    if (auto color = lookUp(colors_, name)) return color;
    if (auto it = stockColors().find(name); it != stockColors().end()) return it->second;
    return std::nullopt;
}

std::optional<Color> EditingPrefs::fontColorNamedAsIs(const std::string& name) const {
    return find(fontColors_, name);
}

std::optional<Color> EditingPrefs::colorNamedAsIs(const std::string& name) const { return find(colors_, name); }

std::optional<std::string> EditingPrefs::fontNameAtIndex(int index) const {
    if (index < 0 || std::size_t(index) >= fontsList_.size()) return std::nullopt;
    return fontsList_[std::size_t(index)];
}

std::optional<std::string> EditingPrefs::colorNameAtIndex(int index) const {
    if (index < 0 || std::size_t(index) >= colorsList_.size()) return std::nullopt;
    return colorsList_[std::size_t(index)];
}

std::optional<Font> EditingPrefs::fontAtIndex(int index) const { return atIndex(fontsList_, fonts_, index); }

std::optional<Color> EditingPrefs::colorAtIndex(int index) const { return atIndex(colorsList_, colors_, index); }

int EditingPrefs::fontUnderlineAtIndex(int index) const {
    return atIndex(fontsList_, fontUnderlines_, index).value_or(0);
}

// ---- Setters --------------------------------------------------------------------

void EditingPrefs::setFont(const Font& font, const std::string& forName) {
    fonts_[forName] = font;
    markChanged();
}

void EditingPrefs::setFontColor(const Color& color, const std::string& forName) {
    fontColors_[forName] = color;
    markChanged();
}

void EditingPrefs::setColor(const Color& color, const std::string& forName) {
    colors_[forName] = color;
    markChanged();
}

void EditingPrefs::setFontUnderline(int underline, const std::string& forName) {
    fontUnderlines_[forName] = underline;
    markChanged();
}

}  // namespace kl
