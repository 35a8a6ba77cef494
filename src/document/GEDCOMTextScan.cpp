#include "document/GEDCOMTextScan.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>

namespace kl {

namespace {

bool isTerminator(char c) { return c == '\n' || c == '\r'; }

std::size_t skipBlanks(std::string_view text, std::size_t at, std::size_t end) {
    while (at < end && text[at] == ' ') ++at;
    return at;
}

std::size_t wordEnd(std::string_view text, std::size_t at, std::size_t end) {
    while (at < end && text[at] != ' ') ++at;
    return at;
}

// Leading digits (after an optional sign) of a word; 0 without digits.
long wordValue(std::string_view word) {
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
    long value = 0;
    for (; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i) {
        value = value * 10 + (word[i] - '0');
        if (value > 1'000'000) break;  // far beyond any level
    }
    return negative ? -value : value;
}

// " <tag> ": how a line names the tag; a tag at a line's end or start has
// no blank on that side and is not found.
std::string betweenBlanks(std::string_view tag) {
    std::string needle;
    needle.reserve(tag.size() + 2);
    needle.append(" ").append(tag).append(" ");
    return needle;
}

std::string trimmed(std::string_view text) {
    auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    std::size_t b = 0, e = text.size();
    while (b < e && blank(text[b])) ++b;
    while (e > b && blank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

// Calls `each(line)` for every line of the text holding " <tag> " that
// decodes with the tag. Searching for the needle skips the many lines
// without it at memory speed; a blank and a tag hold no line break, so a
// match never spans two lines.
template <class Each>
void forEachTagLine(std::string_view text, std::string_view tag, Each&& each) {
    const std::string needle = betweenBlanks(tag);
    for (std::size_t at = 0, m; (m = GEDCOMTextScan::find(text, needle, at)) != std::string_view::npos;) {
        const GEDCOMTextScan::Line line = GEDCOMTextScan::lineAround(text, m);
        at = line.end;
        int level = 0;
        if (auto value = GEDCOMTextScan::decodeLine(text, line, tag, &level)) each(line, level, *value);
    }
}

}  // namespace

std::size_t GEDCOMTextScan::find(std::string_view text, std::string_view what, std::size_t from) {
    if (from > text.size() || what.size() > text.size() - from) return std::string_view::npos;
    if (what.empty()) return from;
    const std::size_t m = what.size();
    if (m > std::numeric_limits<std::uint8_t>::max()) {
        const auto found = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                                       std::boyer_moore_horspool_searcher(what.begin(), what.end()));
        return found == text.end() ? std::string_view::npos : static_cast<std::size_t>(found - text.begin());
    }
    // Horspool's skips from a table of bytes: the post-processing calls this
    // once per match of a frequent line ("2 PLAC "), and a table of 256
    // bytes is made far more quickly than the library searcher's of 256
    // words.
    std::array<std::uint8_t, 256> skip;
    skip.fill(static_cast<std::uint8_t>(m));
    for (std::size_t i = 0; i + 1 < m; ++i) skip[static_cast<unsigned char>(what[i])] = static_cast<std::uint8_t>(m - 1 - i);
    const char last = what[m - 1];
    const char* data = text.data();
    for (std::size_t at = from; at + m <= text.size();) {
        const char c = data[at + m - 1];
        if (c == last && std::memcmp(data + at, what.data(), m - 1) == 0) return at;
        at += skip[static_cast<unsigned char>(c)];
    }
    return std::string_view::npos;
}

std::size_t GEDCOMTextScan::findCaseless(std::string_view text, std::string_view what, std::size_t from) {
    if (what.empty() || text.size() < what.size()) return std::string_view::npos;
    auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    const char first = what.front();
    // A first character without case ("<" of "<!--CSS") is found by memchr
    // instead of comparing at every position.
    const bool caseless = lower(first) == std::toupper(static_cast<unsigned char>(first));
    const std::size_t last = text.size() - what.size();
    for (std::size_t i = from; i <= last; ++i) {
        if (caseless) {
            const void* at = std::memchr(text.data() + i, first, last - i + 1);
            if (!at) break;
            i = static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
        }
        std::size_t k = 0;
        while (k < what.size() && lower(text[i + k]) == lower(what[k])) ++k;
        if (k == what.size()) return i;
    }
    return std::string_view::npos;
}

GEDCOMTextScan::Line GEDCOMTextScan::lineAround(std::string_view text, std::size_t at) {
    Line line;
    at = std::min(at, text.size());
    std::size_t start = at;
    while (start > 0 && !isTerminator(text[start - 1])) --start;
    // A CR LF pair ends one line: a position on its LF belongs to that line.
    if (start == at && at > 0 && text[at - 1] == '\r' && at < text.size() && text[at] == '\n') {
        start = at - 1;
        while (start > 0 && !isTerminator(text[start - 1])) --start;
    }
    line.start = start;
    std::size_t end = start;
    while (end < text.size() && !isTerminator(text[end])) ++end;
    line.contentsEnd = end;
    if (end < text.size()) {
        ++end;
        if (text[end - 1] == '\r' && end < text.size() && text[end] == '\n') ++end;
    }
    line.end = end;
    return line;
}

std::optional<std::string> GEDCOMTextScan::decodeLine(std::string_view text, const Line& line, std::string_view tag,
                                                      int* level) {
    const std::size_t end = line.contentsEnd;
    std::size_t at = skipBlanks(text, line.start, end);
    std::size_t stop = wordEnd(text, at, end);
    const long value = wordValue(text.substr(at, stop - at));
    if (level) *level = static_cast<int>(value);
    if (value < 1 || value > 99) return std::nullopt;
    at = skipBlanks(text, stop, end);
    stop = wordEnd(text, at, end);
    if (text.substr(at, stop - at) != tag) return std::nullopt;
    at = skipBlanks(text, stop, end);
    return std::string(text.substr(at, end - at));
}

int GEDCOMTextScan::leadingLevel(std::string_view text, const Line& line) {
    const std::size_t at = skipBlanks(text, line.start, line.contentsEnd);
    return static_cast<int>(wordValue(text.substr(at, wordEnd(text, at, line.contentsEnd) - at)));
}

void GEDCOMTextScan::removeCustomLinkTags(std::string_view tag, std::string& data, const IDTypes* kept) {
    if (tag.empty()) return;
    const std::string_view text(data);
    const std::string needle = betweenBlanks(tag);
    std::string out;
    std::size_t copied = 0;  // text before this is in `out` or deleted
    bool changed = false;
    for (std::size_t at = 0, m; (m = find(text, needle, at)) != std::string_view::npos;) {
        const Line line = lineAround(text, m);
        at = line.end;
        int level = 0;
        auto value = decodeLine(text, line, tag, &level);
        if (!value || (kept && kept->contains(*value))) continue;
        if (!changed) out.reserve(data.size());
        changed = true;
        out.append(text.substr(copied, line.start - copied));
        while (at < text.size()) {
            const Line next = lineAround(text, at);
            if (leadingLevel(text, next) <= level) break;
            at = next.end;
        }
        copied = at;
    }
    if (!changed) return;
    out.append(text.substr(copied));
    data = std::move(out);
}

std::vector<std::string> GEDCOMTextScan::getLinks(std::string_view tag, std::string_view data,
                                                  const IDTypes& notLinkedTo) {
    std::vector<std::string> ids;
    if (tag.empty()) return ids;
    forEachTagLine(data, tag, [&](const Line&, int, const std::string& value) {
        if (!notLinkedTo.contains(value)) ids.push_back(value);
    });
    return ids;
}

std::vector<std::string> GEDCOMTextScan::getCSSLinksInData(std::string_view data, const IDTypes& notLinkedTo) {
    static constexpr std::string_view kOpen = "<!--CSS";
    static constexpr std::string_view kClose = "-->";
    std::vector<std::string> ids;
    std::size_t at = 0;
    while ((at = findCaseless(data, kOpen, at)) != std::string_view::npos) {
        const std::size_t begin = at + kOpen.size();
        const std::size_t close = data.find(kClose, begin);
        if (close == std::string_view::npos) break;
        std::string id = trimmed(data.substr(begin, close - begin));
        if (!notLinkedTo.contains(id)) ids.push_back(std::move(id));
        at = close + kClose.size();
    }
    return ids;
}

}  // namespace kl
