// Writing one structure as GEDCOM lines: long values are cut into CONC lines
// of at most the maximum line length, line breaks become CONT lines, and the
// quick comment follows as a `_MEMO` line. Everything is appended straight
// to the caller's text; only a value that must be cut goes through a reused
// scratch buffer.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

// Seven characters of a continuation prefix ("2 CONC "), eight of the memo
// line's ("2 _MEMO ").
constexpr int kContinuationPrefix = 7;
constexpr int kMemoPrefix = 8;

void appendNumber(std::string& out, long long value) {
    // Nearly every level written is a single digit.
    if (value >= 0 && value <= 9) {
        out.push_back(static_cast<char>('0' + value));
        return;
    }
    char buf[24];
    auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    out.append(buf, end);
}

bool isCutSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A carriage return on its own or before a line feed is a line break too:
// written raw it would start a new line in the file.
bool hasLineBreak(std::string_view s) {
    return std::memchr(s.data(), '\n', s.size()) || std::memchr(s.data(), '\r', s.size());
}

// Calls part(text) for each piece between line breaks.
template <class Part>
void forEachPart(std::string_view text, Part&& part) {
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            part(text.substr(start));
            return;
        }
        part(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
}

// Continuation lines never go below level 1: a level-0 line would start a
// new record when the file is read again.
long long continuationLevel(long long level) { return std::max<long long>(level, 1); }

struct Cutter {
    std::string& out;
    std::string_view eol;
    long long level;  // of the CONC lines

    // Writes `part` in pieces of at most `firstWindow` and then `window`
    // characters, each but the last followed by a line break and a CONC
    // prefix. A piece ends just before the last whitespace of its window
    // (which then starts the next piece) so words stay whole; without one
    // it ends at the window. Nothing is cut before byte `keep` (the level
    // and tag of a first line) nor inside a UTF-8 sequence.
    void write(std::string_view part, std::size_t firstWindow, std::size_t window, std::size_t keep = 0) const {
        const std::size_t n = part.size();
        std::size_t s = 0;
        std::size_t win = std::max<std::size_t>(firstWindow, 1);
        for (;;) {
            std::size_t e = s, counted = 0;
            while (counted < win && e < n) {
                e = utf8::advance(part, e, 1);
                ++counted;
            }
            // A part that fits its first window is never cut; later, a rest
            // of exactly one window may still be cut before a blank.
            if (counted < win || (s == 0 && e == n)) break;
            std::size_t cut = e;
            for (std::size_t p = e; p-- > std::max(s + 1, keep + 1);) {
                if (isCutSpace(part[p])) {
                    cut = p + 1 == n ? n : p;
                    break;
                }
            }
            if (cut <= keep) cut = utf8::advance(part, keep, 1);
            if (cut >= n) break;
            out.append(part.substr(s, cut - s));
            out.append(eol);
            appendNumber(out, level);
            out.append(" CONC ");
            s = cut;
            win = std::max<std::size_t>(window, 1);
        }
        out.append(part.substr(s));
    }
};

std::size_t windowOf(int length) { return static_cast<std::size_t>(std::max(length, 1)); }

}  // namespace

void GEDCOMStructure::appendStructureLine(std::string& out) const {
    const std::string_view eol = lineEnding();
    const std::string& tag = gtag();
    if (tag.empty()) {
        if (glevel() < 0)
            out.append(contents());
        else
            appendNumber(out, glevel());
        out.append(eol);
    } else if (contents().empty()) {
        appendNumber(out, glevel());
        out.push_back(' ');
        out.append(tag);
        out.append(eol);
    } else {
        appendContinued(out);
    }
    if (storedQuickComment()) appendMemo(out);
}

void GEDCOMStructure::appendContinued(std::string& out) const {
    const std::string_view eol = lineEnding();
    const std::string& text = contents();
    const int maxLength = maximumGEDCOMLineLength();
    const std::size_t lineStart = out.size();
    appendNumber(out, glevel());
    out.push_back(' ');
    out.append(gtag());
    out.push_back(' ');
    const std::size_t prefixBytes = out.size() - lineStart;

    const bool oneLine = !hasLineBreak(text);
    const std::size_t limit = windowOf(maxLength);
    if (oneLine && (prefixBytes + text.size() <= limit ||
                    utf8::countCharacters(std::string_view(out).substr(lineStart)) + utf8::countCharacters(text) <=
                        limit)) {
        out.append(text);
        out.append(eol);
        return;
    }

    // The first part is cut together with its level and tag, so it is
    // assembled in a scratch buffer first.
    thread_local std::string first;
    first.assign(out, lineStart, std::string::npos);
    out.resize(lineStart);

    const long long level = glevel();
    const long long k = continuationLevel(continuesNoteText() ? 1 : level + 1);
    const std::size_t window = windowOf(maxLength - kContinuationPrefix);
    const Cutter cutter{out, eol, k};
    bool isFirst = true;
    forEachPart(text, [&](std::string_view part) {
        if (isFirst) {
            isFirst = false;
            // A text that starts with a break has an empty first line,
            // written without a blank after the tag.
            if (part.empty()) first.pop_back();
            first.append(part);
            cutter.write(first, window, window, std::min(prefixBytes, first.size()));
            out.append(eol);
            return;
        }
        appendNumber(out, k);
        if (part.empty()) {
            out.append(" CONT");
        } else {
            out.append(" CONT ");
            cutter.write(part, window, window);
        }
        out.append(eol);
    });
}

// A note record's text is its first line, a level-1 CONC, and the reader
// folds the level-1 continuation lines after it back into that line. Any
// other CONC keeps its continuation lines below it: written at level 1 they
// would come back as lines of their own, and a blank one would be dropped.
bool GEDCOMStructure::continuesNoteText() const {
    if (glevel() != 1 || gtag() != "CONC" || !record_ || !record_->isType("NOTE")) return false;
    const auto& lines = record_->structures();
    return !lines.empty() && lines.front().get() == this;
}

void GEDCOMStructure::appendMemo(std::string& out) const {
    const std::string_view eol = lineEnding();
    const std::string& memo = *storedQuickComment();
    const int maxLength = maximumGEDCOMLineLength();
    const long long level = continuationLevel(static_cast<long long>(glevel()) + 1);
    appendNumber(out, level);
    out.append(" _MEMO ");
    if (!hasLineBreak(memo) && !utf8::longerThan(memo, windowOf(maxLength - kMemoPrefix))) {
        out.append(memo);
        out.append(eol);
        return;
    }
    const long long k = level + 1;
    const Cutter cutter{out, eol, k};
    bool isFirst = true;
    forEachPart(memo, [&](std::string_view part) {
        if (isFirst) {
            isFirst = false;
            cutter.write(part, windowOf(maxLength - kMemoPrefix), windowOf(maxLength - kContinuationPrefix));
        } else {
            appendNumber(out, k);
            out.append(part.empty() ? " CONT" : " CONT ");
            cutter.write(part, windowOf(maxLength - kContinuationPrefix), windowOf(maxLength - kContinuationPrefix));
        }
        out.append(eol);
    });
}

std::string GEDCOMStructure::linePlusComment(std::string lines, std::string_view separator) const {
    if (!storedQuickComment()) return lines;
    lines.append(separator);
    appendMemo(lines);
    return lines;
}

}  // namespace kl
