#include "foundation/HTMLText.h"

#include <cctype>

namespace kl {

namespace {

constexpr std::string_view kWhite = " \t\r\n";

bool equalsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != lower[i]) return false;
    return true;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kWhite);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kWhite) - first + 1);
}

void appendEscaped(std::string& out, char c) {
    switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
    }
}

}  // namespace

std::size_t isHTMLText(std::string_view text) {
    const auto start = text.find_first_not_of(kWhite);
    if (start == std::string_view::npos) return 0;
    const std::string_view body = trimmed(text);
    if (body.size() < 6 || !equalsIgnoringCase(body.substr(0, 4), "<div")) return 0;
    if (!equalsIgnoringCase(body.substr(body.size() - 6), "</div>")) return 0;
    const auto close = text.find_first_of(">\r\n", start + 4);
    if (close == std::string_view::npos || text[close] != '>') return 0;
    return close + 1;
}

std::string safeHTMLText(std::string_view text, bool enclose, bool newLines, bool* isHTML) {
    if (isHTML) *isHTML = false;
    if (isHTMLText(text) > 0) {
        if (isHTML) *isHTML = true;
        return std::string(trimmed(text));
    }
    std::string out = enclose ? "<p>" : "";
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            // CR LF is one line end, not two.
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += newLines ? "</p>\n<p>" : "\n";
        } else {
            appendEscaped(out, c);
        }
    }
    if (enclose) out += "</p>\n";
    return out;
}

}  // namespace kl
