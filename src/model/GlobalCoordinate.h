#pragma once
// GlobalCoordinate: one latitude, longitude or distance read from the free
// text users type and place services return ("45.5N", "45°30'15\"",
// "-122.4", "10 km"), with its printed forms and the two distance-per-degree
// rules that turn ground distances into degrees.
//
// A plain value; the print marks are process-wide and set on the main
// thread. Parsing is pure and safe on any thread.
#include <optional>
#include <string>
#include <string_view>

namespace kl {

class GlobalCoordinate {
public:
    enum Direction : int { Latitude = 0, Longitude = 1, Distance = 2, Either = 3 };

    // A new value for the text, expecting either kind; nullopt with the
    // parser's message in `error` when it does not read.
    static std::optional<GlobalCoordinate> coordinateFromString(std::string_view text, std::string* error = nullptr);

    // nullopt on success, else the message. The value stays stored when
    // only the range test fails.
    std::optional<std::string> setFromString(std::string_view text, int expecting);

    double coordinate() const { return coordinate_; }
    bool isLatitude() const { return direction_ == Latitude; }
    void setIsLatitude(bool latitude) { direction_ = latitude ? Latitude : Longitude; }
    bool isDistance() const { return direction_ == Distance; }
    void setIsDistance() { direction_ = Distance; }
    int direction() const { return direction_; }

    // "%.9g" of the value.
    std::string signedNumber() const;
    // The absolute value with N/S or E/W; a distance signed.
    std::string compassNumber() const;
    // Degrees, minutes and seconds with the current marks.
    std::string dmsNumber(bool isSigned) const;
    static void useDMSMarks(bool on);

    static double kmPerLatitudeDegree() { return 111.195; }
    static double kmPerLongitudeDegree(double latitude);

private:
    double coordinate_ = 0;
    int direction_ = Longitude;
};

}  // namespace kl
