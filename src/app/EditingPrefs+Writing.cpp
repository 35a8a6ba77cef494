#include "app/AppController.h"
#include "app/EditingPrefs.h"
#include "foundation/PropertyList.h"

namespace kl {

Dictionary EditingPrefs::dictionary() const {
    Dictionary fonts;
    for (const auto& [name, font] : fonts_) {
        auto color = fontColors_.find(name);
        auto underline = fontUnderlines_.find(name);
        fonts.set(name, Value(Array{Value(AppController::archive(font)),
                                    Value(AppController::archive(color != fontColors_.end() ? color->second
                                                                                            : Color::black())),
                                    Value(underline != fontUnderlines_.end() ? underline->second : 0)}));
    }
    Dictionary colors;
    for (const auto& [name, color] : colors_) colors.set(name, Value(AppController::archive(color)));

    // The margin and default-size groups are written without a header: their
    // entries find their groups again by variable name when read.
    Array variables;
    for (std::size_t g = 0; g < formatVariables_.size(); ++g) {
        const VariablesList& group = *formatVariables_[g];
        if (g >= 2)
            variables.push_back(Value(Array{Value(group.listName()), Value(""), Value("Group"), Value(""),
                                            Value(static_cast<long long>(variables.size() + 1))}));
        group.getVariables(variables);
    }
    return Dictionary{{"Variables", Value(std::move(variables))},
                      {"Fonts", Value(std::move(fonts))},
                      {"Colors", Value(std::move(colors))}};
}

bool EditingPrefs::readFormat(const std::filesystem::path& formatFolder, std::string* error) {
    auto plist = PropertyList::readDictionaryFile(formatFolder / fileName, error);
    if (!plist) return false;
    auto folder = formatFolder;
    if (!folder.has_filename()) folder = folder.parent_path();
    readSettings(*plist, folder.stem().string());
    return true;
}

bool EditingPrefs::writeFormat(const std::filesystem::path& formatFolder, std::string* error) const {
    return PropertyList::writeFile(Value(dictionary()), formatFolder / fileName, error);
}

}  // namespace kl
