#include "places/PlaceAdvisor.h"

#include "foundation/AsciiText.h"

namespace kl {

namespace {

constexpr std::string_view kMediumSpace = "\xE2\x81\x9F";  // U+205F

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

bool isWebAddress(std::string_view address) {
    const std::string lower = asciiLower(std::string(address.substr(0, 8)));
    return startsWith(lower, "http://") || startsWith(lower, "https://");
}

}  // namespace

std::string PlaceAdvisor::placeCode(std::string_view title) {
    std::string code;
    const std::string pair = std::string(kMediumSpace) + std::string(kMediumSpace);
    std::size_t from = 0;
    for (std::size_t at = title.find(pair); at != std::string_view::npos; at = title.find(pair, from)) {
        code.append(title.substr(from, at - from)).append("  ");
        from = at + pair.size();
    }
    return code.append(title.substr(from));
}

bool PlaceAdvisor::isValidPlaceCode(std::string_view code) {
    const std::size_t length = characterCount(code);
    if (length == 2) return true;
    return length >= 3 && characterCount(code.substr(0, 2)) == 2 && code[2] == ':' && !startsWith(code, "The");
}

bool PlaceAdvisor::validateMenuTag(int tag, std::string_view code, bool hasOpenDocuments) {
    if (tag == CopyToPlaceTag) return isValidPlaceCode(code) && hasOpenDocuments;
    if (tag == SearchTag) return isValidPlaceCode(code);
    return true;
}

PlaceAdvisor::PlaceLevels PlaceAdvisor::placeLevels(std::string_view code) {
    auto trimmed = [](std::string_view text) {
        const std::size_t from = text.find_first_not_of(" \t\r\n");
        if (from == std::string_view::npos) return std::string();
        return std::string(text.substr(from, text.find_last_not_of(" \t\r\n") - from + 1));
    };
    if (characterCount(code) < 3) return {std::string(code), {std::string(code)}};
    PlaceLevels place{trimmed(code.substr(3)), {std::string(code.substr(0, 2))}};
    std::vector<std::string> parts;
    std::string_view rest = place.placeName;
    for (std::size_t comma = rest.find(','); comma != std::string_view::npos; comma = rest.find(',')) {
        parts.push_back(trimmed(rest.substr(0, comma)));
        rest = rest.substr(comma + 1);
    }
    // The last part, the country's name, is no level.
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) place.levels.push_back(*part);
    return place;
}

std::string PlaceAdvisor::advisorAddress(long long useLocal, const std::string& site, const std::string& localAddress,
                                         const std::string& userName) {
    if (useLocal == 0) return site;
    const std::string port = useLocal == 2 ? ":8080" : "";
    return "http://" + localAddress + port + "/~" + userName + "/Kinlore%20II/Mundora.html";
}

std::string PlaceAdvisor::localIPAddress(const std::vector<std::string>& addresses, std::string* why) {
    for (const std::string& address : addresses)
        if (address.find(':') == std::string::npos && address != "127.0.0.1") return address;
    if (why) {
        std::string all;
        for (const std::string& address : addresses) all += (all.empty() ? "" : ", ") + address;
        *why = "No IP address found among (" + all + ")";
    }
    return "localhost";
}

PlaceAdvisor::Policy PlaceAdvisor::navigationPolicy(int type, std::string_view address) {
    if (type == LinkActivated) return Policy::OpenInBrowser;
    if (type == BackForward) return Policy::Cancel;
    if (type == Reload) return Policy::Allow;
    if (characterCount(address) < 9 || !isWebAddress(address)) return Policy::Allow;
    if (address.find("404-header") != std::string_view::npos) return Policy::NotFound;
    return Policy::Allow;
}

bool PlaceAdvisor::remembersNavigation(int type, std::string_view address) {
    return type != LinkActivated && type != BackForward && type != Reload && characterCount(address) >= 9 &&
           isWebAddress(address) && address.find("404-header") == std::string_view::npos;
}

std::optional<std::string> PlaceAdvisor::requestURLFor(std::string_view recentNavigation, std::string_view title) {
    if (characterCount(title) < 4 || !startsWith(title, "The")) return std::nullopt;
    std::size_t slash = std::string_view::npos;
    for (int seen = 0; seen < 3; ++seen) {
        slash = recentNavigation.find('/', slash == std::string_view::npos ? 0 : slash + 1);
        if (slash == std::string_view::npos) return std::nullopt;
    }
    return std::string(recentNavigation.substr(0, slash)) + "/cgi-bin/";
}

}  // namespace kl
