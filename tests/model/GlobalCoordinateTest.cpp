// Coordinates typed by users and found in files: the one-number parser with
// its messages, the printed forms, bounds texts made into boxes, a place's
// first usable box and the LATI/LONG values of standard GEDCOM.
#include <gtest/gtest.h>

#include <cmath>

#include "model/GEDCOMStructure.h"
#include "model/GlobalCoordinate.h"
#include "model/PlaceRecord.h"

namespace kl {
namespace {

struct ParseCase {
    const char* text;
    int expecting;
    double value;         // when no message
    const char* message;  // nullptr: reads
};

class CoordinateParse : public testing::TestWithParam<ParseCase> {};

TEST_P(CoordinateParse, ReadsOrExplains) {
    const ParseCase& c = GetParam();
    GlobalCoordinate coordinate;
    const auto message = coordinate.setFromString(c.text, c.expecting);
    if (c.message) {
        ASSERT_TRUE(message.has_value()) << c.text;
        EXPECT_EQ(*message, c.message) << c.text;
    } else {
        ASSERT_FALSE(message.has_value()) << c.text << ": " << *message;
        EXPECT_NEAR(coordinate.coordinate(), c.value, 1e-9) << c.text;
    }
}

constexpr int kLat = GlobalCoordinate::Latitude;
constexpr int kLon = GlobalCoordinate::Longitude;
constexpr int kEither = GlobalCoordinate::Either;

INSTANTIATE_TEST_SUITE_P(
    Texts, CoordinateParse,
    testing::Values(ParseCase{"45.5N", kLat, 45.5, nullptr}, ParseCase{"45.5S", kLat, -45.5, nullptr},
                    ParseCase{"-45.5N", kLat, 45.5, nullptr}, ParseCase{"N45.5", kLat, 45.5, nullptr},
                    ParseCase{"45.5N and more", kLat, 45.5, nullptr},
                    ParseCase{"45\u00B030'15\u2033N", kLat, 45 + 30 / 60.0 + 15 / 3600.0, nullptr},
                    ParseCase{"45\u00B030'15''", kLat, 45 + 30 / 60.0 + 15 / 3600.0, nullptr},
                    ParseCase{"12.34.56", kLon, 12 + 34 / 60.0 + 56 / 3600.0, nullptr},
                    ParseCase{"45.123456789", kLon, 45.1234567, nullptr},
                    ParseCase{"10 km", kEither, 10, nullptr}, ParseCase{"10 m", kEither, 16.09344, nullptr},
                    ParseCase{"45 30 15", kLat, 0, "Latitudes must be between -90 and 90"},
                    ParseCase{"45\u00B030.5'", kLat, 0, "Minutes symbol in an invalid location"},
                    ParseCase{"200", kEither, 0, "Longitudes must be between -180 and 180"},
                    ParseCase{"", kEither, 0, "The coordinate has no number"},
                    ParseCase{"45.5E", kLat, 0, "Invalid compass direction for expected coordinate"},
                    ParseCase{"4-5", kEither, 0, "Invalid or extra minus sign"},
                    ParseCase{"10 km", kLat, 0, "Invalid distance found when expected a compass direction"},
                    ParseCase{"45x", kEither, 0, "Invalid character ('x' with code 120) in the coordinate"},
                    ParseCase{"45\u00B0 75'", kLat, 0, "Minutes or seconds must be less than 60"}));

TEST(CoordinateTest, CompassFormsNameTheHemisphere) {
    auto south = GlobalCoordinate::coordinateFromString("33.5S");
    ASSERT_TRUE(south);
    EXPECT_TRUE(south->isLatitude());
    EXPECT_EQ(south->compassNumber(), "33.5S");
    auto west = GlobalCoordinate::coordinateFromString("-122.25");
    ASSERT_TRUE(west);
    EXPECT_FALSE(west->isLatitude());
    EXPECT_EQ(west->compassNumber(), "122.25W");
    EXPECT_EQ(west->signedNumber(), "-122.25");
    EXPECT_EQ(west->dmsNumber(true), "-122\u02DA15'0\"");
}

TEST(CoordinateTest, LongitudeDegreesShrinkTowardThePoles) {
    EXPECT_NEAR(GlobalCoordinate::kmPerLongitudeDegree(0), 111.195, 0.01);
    EXPECT_NEAR(GlobalCoordinate::kmPerLongitudeDegree(60), 111.195 / 2, 0.01);
}

struct BoundsCase {
    const char* text;
    PlaceRecord::Rect rect;
    const char* message;
};

class BoundsText : public testing::TestWithParam<BoundsCase> {};

TEST_P(BoundsText, GivesTheBoxOrTheFailingNumber) {
    std::string error;
    const PlaceRecord::Rect rect = PlaceRecord::boundsToRect(GetParam().text, &error);
    EXPECT_EQ(error, GetParam().message ? GetParam().message : "");
    EXPECT_NEAR(rect.x, GetParam().rect.x, 1e-6);
    EXPECT_NEAR(rect.y, GetParam().rect.y, 1e-6);
    EXPECT_NEAR(rect.width, GetParam().rect.width, 1e-6);
    EXPECT_NEAR(rect.height, GetParam().rect.height, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, BoundsText,
    testing::Values(BoundsCase{"(10, 170), (20, -170)", {170, 10, 20, 10}, nullptr},
                    BoundsCase{"(80, 0), (70, 10)", {0, 80, 10, 30}, nullptr},
                    BoundsCase{"(45, 7, 1k)", {7 - 1 / 111.195 * 111.195 / GlobalCoordinate::kmPerLongitudeDegree(45) / 2,
                                               45 - 0.5 / 111.195, 111.195 / GlobalCoordinate::kmPerLongitudeDegree(45) / 111.195,
                                               1 / 111.195},
                                nullptr},
                    BoundsCase{"45", {}, "Invalid latitude and longitude in the bounds"},
                    BoundsCase{"(95, 7)", {}, "Error in first latitude: Latitudes must be between -90 and 90"},
                    BoundsCase{"(45, 7, 3q)", {},
                               "Error in span (3rd coordinate): Invalid character ('q' with code 113) in the coordinate"}));

TEST(CoordinateTest, CentreAloneSpansAFixedHeight) {
    std::string error;
    const PlaceRecord::Rect rect = PlaceRecord::boundsToRect("(45, 7)", &error);
    EXPECT_TRUE(error.empty());
    EXPECT_NEAR(rect.height, 0.05, 1e-12);
    EXPECT_NEAR(rect.x + rect.width / 2, 7, 1e-12);
    EXPECT_GT(rect.width, rect.height) << "a degree of longitude is shorter at 45 degrees";
}

struct LatLogCase {
    const char* text;
    char dirs;
    const char* result;
};

class LatLogText : public testing::TestWithParam<LatLogCase> {};

TEST_P(LatLogText, CarriesItsCompassLetter) {
    EXPECT_EQ(GEDCOMStructure::reformatLatLog(GetParam().text, GetParam().dirs), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Values, LatLogText,
                         testing::Values(LatLogCase{"-45.5", 'N', "45.500000 S"},
                                         LatLogCase{"122.419416W", 'E', "122.419416 W"},
                                         LatLogCase{" n 12.5 ", 'N', "12.500000 N"},
                                         LatLogCase{"7", 'E', "7"},
                                         LatLogCase{"unknown", 'E', "unknown"},
                                         LatLogCase{"Snowy", 'N', "nowy S"},
                                         LatLogCase{"nan", 'E', "nan"}));

}  // namespace
}  // namespace kl
