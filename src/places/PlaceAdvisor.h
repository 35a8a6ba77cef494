#pragma once
// PlaceAdvisor: the rules of the Derev Azeduze window that need no window:
// the place code a page title names, which commands it enables, the home
// page's address, which navigations the web view lets through, and the
// request base address of the place-data service's server scripts.
//
// A place code is a two-letter country code ("FR") or a country code, ":"
// and the place's name levels from the smallest up to the country
// ("FR: Lyon, Rhône, France"). The service's home page has a title that
// begins with "The".
//
// Values only. Thread: any.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kl {

class PlaceAdvisor {
public:
    enum Tag : int { ShowAdvisorTag = 6101, OpenInBrowserTag = 6102, CopyToPlaceTag = 6103, SearchTag = 6104 };
    // What the web view does with a navigation.
    enum class Policy { Allow, Cancel, OpenInBrowser, NotFound };
    // The navigation kinds the web view is told of.
    enum NavigationType : int { LinkActivated = 0, FormSubmitted = 1, BackForward = 2, Reload = 3, Other = 5 };

    // The title with each pair of medium mathematical spaces (U+205F) made
    // two ordinary spaces.
    static std::string placeCode(std::string_view title);
    static bool isValidPlaceCode(std::string_view code);
    // Copy needs a valid code and an open document, Search a valid code;
    // every other tag is enabled.
    static bool validateMenuTag(int tag, std::string_view code, bool hasOpenDocuments);

    // The place a valid code names: its name (the code itself for a
    // country) and its levels, the country code first, then the
    // subdivisions from the largest down (the country's name is no level).
    struct PlaceLevels {
        std::string placeName;
        std::vector<std::string> levels;
    };
    static PlaceLevels placeLevels(std::string_view code);

    // The home page: "Use Local Place Data" 0 the site's address, 1 this
    // computer's web server, 2 the same on port 8080.
    static std::string advisorAddress(long long useLocal, const std::string& site, const std::string& localAddress,
                                      const std::string& userName);
    // The first address without ":" that is not the loopback address,
    // else "localhost" (and the reason in *why).
    static std::string localIPAddress(const std::vector<std::string>& addresses, std::string* why = nullptr);

    // Whether the web view loads an address; a page the service reports
    // missing ("404-header") is NotFound.
    static Policy navigationPolicy(int type, std::string_view address);
    // Whether an allowed navigation of that kind and address is remembered
    // as the most recent one (a page of the service, not a local file).
    static bool remembersNavigation(int type, std::string_view address);
    // When the finished page is the home page (a title of at least four
    // characters beginning with "The") and the address has three slashes:
    // the address up to its third slash followed by "/cgi-bin/".
    static std::optional<std::string> requestURLFor(std::string_view recentNavigation, std::string_view title);
};

}  // namespace kl
