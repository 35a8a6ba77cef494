#include <algorithm>
#include <cmath>

#include "app/AppController.h"
#include "foundation/Logger.h"
#include "foundation/Numbers.h"
#include "foundation/PropertyList.h"

namespace kl {

// An archive is a small XML property list naming its kind, so a settings
// file stays readable by hand and an archive of another kind (or one made
// by another program) is told apart instead of misread.
namespace {

constexpr const char* kClassKey = "$class";
constexpr const char* kFontClass = "KLFont";
constexpr const char* kColorClass = "KLColor";

Data toData(const Dictionary& archive) {
    auto xml = PropertyList::writeXML(Value(archive));
    if (!xml) return {};
    return Data(xml->begin(), xml->end());
}

// The archive's dictionary when it is one of the expected kind.
std::optional<Dictionary> readArchive(const Data& data, std::string_view kind, std::string* why) {
    auto value = PropertyList::read(data, why);
    if (!value) return std::nullopt;
    const Dictionary* archive = value->dictionary();
    const Value* cls = archive ? archive->get(kClassKey) : nullptr;
    if (!cls || !cls->string() || *cls->string() != kind) {
        *why = "not an archive of " + std::string(kind);
        return std::nullopt;
    }
    return *archive;
}

std::optional<double> finiteNumber(const Dictionary& archive, std::string_view key) {
    const Value* v = archive.get(key);
    if (!v || !v->isNumber()) return std::nullopt;
    const double d = v->toReal();
    if (!std::isfinite(d)) return std::nullopt;
    return d;
}

std::optional<Font> fontFrom(const Dictionary& archive) {
    const Value* family = archive.get("family");
    auto size = finiteNumber(archive, "size");
    auto traits = finiteNumber(archive, "traits");
    if (!family || !family->string() || family->string()->empty() || !size || *size <= 0) return std::nullopt;
    return Font{*family->string(), *size, traits ? int(saturatingInt32(*traits)) : 0};
}

std::optional<Color> colorFrom(const Dictionary& archive) {
    double c[4];
    const char* keys[] = {"red", "green", "blue", "alpha"};
    for (int i = 0; i < 4; ++i) {
        auto v = finiteNumber(archive, keys[i]);
        if (!v) return std::nullopt;
        c[i] = std::clamp(*v, 0.0, 1.0);
    }
    return Color{c[0], c[1], c[2], c[3]};
}

template <class T, class Read>
std::optional<T> readWith(const Data& data, std::string_view kind, Read read, std::string* why) {
    std::string reason;
    if (auto archive = readArchive(data, kind, &reason)) {
        if (auto value = read(*archive)) return value;
        reason = "damaged archive of " + std::string(kind);
    }
    if (why) *why = reason;
    return std::nullopt;
}

template <class T>
T orDefault(const std::optional<Data>& data, const T& useDefault, std::optional<T> (*read)(const Data&, std::string*)) {
    if (!data) return useDefault;
    std::string why;
    if (auto value = read(*data, &why)) return *value;
    Logger::log("NSKeyedUnarchiver error: '{}'", why);
    return useDefault;
}

}  // namespace

Data AppController::archive(const Font& font) {
    return toData(Dictionary{{kClassKey, kFontClass},
                             {"family", font.family},
                             {"size", font.size},
                             {"traits", font.traits}});
}

Data AppController::archive(const Color& color) {
    return toData(Dictionary{{kClassKey, kColorClass},
                             {"red", color.red},
                             {"green", color.green},
                             {"blue", color.blue},
                             {"alpha", color.alpha}});
}

std::optional<Font> AppController::readFontArchive(const Data& data, std::string* why) {
    return readWith<Font>(data, kFontClass, fontFrom, why);
}

std::optional<Color> AppController::readColorArchive(const Data& data, std::string* why) {
    return readWith<Color>(data, kColorClass, colorFrom, why);
}

Font AppController::unarchive(const std::optional<Data>& data, const Font& useDefault) {
    return orDefault(data, useDefault, &AppController::readFontArchive);
}

Color AppController::unarchive(const std::optional<Data>& data, const Color& useDefault) {
    return orDefault(data, useDefault, &AppController::readColorArchive);
}

}  // namespace kl
