#pragma once
// ImageMetadata: what the model reads from an image file's own metadata:
// its IPTC keywords, its GPS position and whether it is an image at all.
// The one place that talks to the Exiv2 library, so nothing else includes
// it; a damaged or unreadable file answers "none", never an exception.
//
// Thread: any; each call opens the file afresh and shares nothing.
#include <optional>
#include <string>
#include <vector>

namespace kl {

class ImageMetadata {
public:
    struct GPSPosition {
        float latitude = 0;   // south negative
        float longitude = 0;  // west negative
    };

    // Whether the file is of an image kind that the library recognises.
    static bool isImageFile(const std::string& path);
    // The IPTC "Keywords" entries in order; empty when there are none.
    static std::vector<std::string> iptcKeywords(const std::string& path);
    // The position when both latitude and longitude are present.
    static std::optional<GPSPosition> gpsPosition(const std::string& path);
    // "%.5f,%.5f" of a position.
    static std::string formatPosition(const GPSPosition& position);
};

}  // namespace kl
