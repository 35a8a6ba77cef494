// Exiv2 throws on files it cannot parse and logs to stderr by default; both
// are contained here.
#include "model/ImageMetadata.h"

#include <exiv2/exiv2.hpp>

#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>

#include "foundation/Numbers.h"

namespace kl {

namespace {

// The owning pointer the library hands out for an opened image (its own
// name for it is deprecated).
using ImagePtr = std::unique_ptr<Exiv2::Image>;

void quietLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

bool isRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The image with its metadata read; nullptr when the file is no image the
// library can parse.
ImagePtr openImage(const std::string& path) {
    quietLibrary();
    if (!isRegularFile(path)) return ImagePtr();
    try {
        auto image = Exiv2::ImageFactory::open(path);
        if (image.get() == nullptr) return image;
        image->readMetadata();
        return image;
    } catch (const std::exception&) {
        return ImagePtr();
    }
}

// Degrees from the rational triple (degrees, minutes, seconds), or from a
// single value; nullopt when the entry holds no number.
std::optional<float> degrees(const Exiv2::Exifdatum& datum) {
    const long count = datum.count();
    if (count < 1) return std::nullopt;
    double value = 0;
    const double scale[] = {1.0, 60.0, 3600.0};
    for (long i = 0; i < count && i < 3; ++i) {
        const Exiv2::Rational part = datum.toRational(i);
        if (part.second == 0) {
            if (i == 0) return std::nullopt;
            continue;
        }
        value += static_cast<double>(part.first) / part.second / scale[i];
    }
    return static_cast<float>(value);
}

std::optional<float> coordinate(const Exiv2::ExifData& exif, const char* key) {
    auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end()) return std::nullopt;
    return degrees(*it);
}

bool negativeReference(const Exiv2::ExifData& exif, const char* key, char negative) {
    auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end()) return false;
    const std::string ref = it->toString();
    return !ref.empty() && (ref[0] == negative || ref[0] == negative + ('a' - 'A'));
}

}  // namespace

bool ImageMetadata::isImageFile(const std::string& path) {
    quietLibrary();
    if (!isRegularFile(path)) return false;
    try {
        return Exiv2::ImageFactory::getType(path) != Exiv2::ImageType::none;
    } catch (const std::exception&) {
        return false;
    }
}

std::vector<std::string> ImageMetadata::iptcKeywords(const std::string& path) {
    std::vector<std::string> words;
    auto image = openImage(path);
    if (image.get() == nullptr) return words;
    try {
        const Exiv2::IptcData& iptc = image->iptcData();
        const Exiv2::IptcKey key("Iptc.Application2.Keywords");
        for (const auto& datum : iptc)
            if (datum.key() == key.key()) words.push_back(datum.toString());
    } catch (const std::exception&) {
        words.clear();
    }
    return words;
}

std::optional<ImageMetadata::GPSPosition> ImageMetadata::gpsPosition(const std::string& path) {
    auto image = openImage(path);
    if (image.get() == nullptr) return std::nullopt;
    try {
        const Exiv2::ExifData& exif = image->exifData();
        auto latitude = coordinate(exif, "Exif.GPSInfo.GPSLatitude");
        auto longitude = coordinate(exif, "Exif.GPSInfo.GPSLongitude");
        if (!latitude || !longitude) return std::nullopt;
        // A value already negative keeps its sign whatever its reference.
        if (*latitude > 0 && negativeReference(exif, "Exif.GPSInfo.GPSLatitudeRef", 'S')) *latitude = -*latitude;
        if (*longitude > 0 && negativeReference(exif, "Exif.GPSInfo.GPSLongitudeRef", 'W')) *longitude = -*longitude;
        return GPSPosition{*latitude, *longitude};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string ImageMetadata::formatPosition(const GPSPosition& position) {
    // Locale-free: a decimal comma would break the pair apart.
    return formatFixed(position.latitude, 5) + "," + formatFixed(position.longitude, 5);
}

}  // namespace kl
