#include "model/GEDCOMParser.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <cstring>
#include <exception>
#include <memory>
#include <thread>

#if defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "model/GEDCOMReader.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

constexpr const char* kMissingDelegate = "The GEDCOM parser is missing it's required delegate.";
constexpr const char* kNotGEDCOM = "The file does not appear to be a GEDCOM file.";
constexpr std::string_view kRefusedPrefix = "ERROR: ";
constexpr std::string_view kNoPrefix;

// Tags this long (in characters) or longer are damaged.
constexpr size_t kLongestTag = 31;
constexpr size_t kShortestPointer = 3;
constexpr size_t kLongestPointer = 22;

// Scanned text is handed back in steps of at least this many bytes, so the
// system call stays rare.
constexpr size_t kReleaseStep = size_t{1} << 20;
// A piece adds its progress to the whole's in steps of this many bytes, so
// the threads rarely write the same counter.
constexpr size_t kPublishStep = size_t{64} << 10;
// A read on several threads cuts up to this many pieces a thread, none
// (where the text allows) under kSmallestPiece bytes.
constexpr size_t kPiecesPerThread = 4;
constexpr size_t kSmallestPiece = size_t{256} << 10;

bool isContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Unicode characters in UTF-8 text: every byte that does not continue a
// sequence starts one, so stray bytes of invalid text count one each.
size_t characterCount(std::string_view text) {
    size_t count = 0;
    for (unsigned char byte : text) count += isContinuationByte(byte) ? 0 : 1;
    return count;
}

struct CodePointRange {
    char32_t first;
    char32_t last;
};

// Letters (general categories L*) and decimal digits (Nd) of the scripts that
// record IDs are written in: Latin with its extensions, Greek, Cyrillic,
// Armenian, Hebrew, Arabic, Devanagari, Thai, Georgian, Hangul, kana,
// Bopomofo and the CJK ideographs, full-width Latin letters and digits.
// Sorted, for a binary search.
constexpr std::array<CodePointRange, 74> kLetterOrDigitRanges{{
    {0x00AA, 0x00AA}, {0x00B5, 0x00B5}, {0x00BA, 0x00BA}, {0x00C0, 0x00D6},
    {0x00D8, 0x00F6}, {0x00F8, 0x02C1}, {0x02C6, 0x02D1}, {0x02E0, 0x02E4},
    {0x02EC, 0x02EC}, {0x02EE, 0x02EE}, {0x0370, 0x0374}, {0x0376, 0x0377},
    {0x037A, 0x037D}, {0x037F, 0x037F}, {0x0386, 0x0386}, {0x0388, 0x038A},
    {0x038C, 0x038C}, {0x038E, 0x03A1}, {0x03A3, 0x03F5}, {0x03F7, 0x0481},
    {0x048A, 0x052F}, {0x0531, 0x0556}, {0x0559, 0x0559}, {0x0560, 0x0588},
    {0x05D0, 0x05EA}, {0x05EF, 0x05F2}, {0x0620, 0x064A}, {0x0660, 0x0669},
    {0x066E, 0x066F}, {0x0671, 0x06D3}, {0x06F0, 0x06F9}, {0x0904, 0x0939},
    {0x0966, 0x096F}, {0x0E01, 0x0E30}, {0x0E50, 0x0E59}, {0x10A0, 0x10C5},
    {0x10D0, 0x10FA}, {0x1100, 0x11FF}, {0x1E00, 0x1F15}, {0x1F18, 0x1F1D},
    {0x1F20, 0x1F45}, {0x1F48, 0x1F4D}, {0x1F50, 0x1F57}, {0x1F59, 0x1F59},
    {0x1F5B, 0x1F5B}, {0x1F5D, 0x1F5D}, {0x1F5F, 0x1F7D}, {0x1F80, 0x1FB4},
    {0x1FB6, 0x1FBC}, {0x1FBE, 0x1FBE}, {0x1FC2, 0x1FC4}, {0x1FC6, 0x1FCC},
    {0x1FD0, 0x1FD3}, {0x1FD6, 0x1FDB}, {0x1FE0, 0x1FEC}, {0x1FF2, 0x1FF4},
    {0x1FF6, 0x1FFC}, {0x2C60, 0x2C7F}, {0x3005, 0x3006}, {0x3041, 0x3096},
    {0x309D, 0x309F}, {0x30A1, 0x30FA}, {0x30FC, 0x30FF}, {0x3105, 0x312F},
    {0x3131, 0x318E}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xAC00, 0xD7A3},
    {0xF900, 0xFA6D}, {0xFF10, 0xFF19}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A},
    {0xFF66, 0xFF9D}, {0x20000, 0x2A6DF},
}};

bool isLetterOrDigit(char32_t codePoint) {
    if (codePoint < 0x80) {
        const auto c = static_cast<char>(codePoint);
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    }
    const auto after = std::upper_bound(
        kLetterOrDigitRanges.begin(), kLetterOrDigitRanges.end(), codePoint,
        [](char32_t value, const CodePointRange& range) { return value < range.first; });
    return after != kLetterOrDigitRanges.begin() && codePoint <= std::prev(after)->last;
}

// The level word: decimal digits only, and small enough for a level. A
// number past the integer range is no level at all rather than a wrapped one.
bool readLevel(std::string_view word, int32_t& level) {
    int64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int32_t>::max()) return false;
    }
    level = static_cast<int32_t>(value);
    return true;
}

// Blanks and tabs both separate the level, ID, tag and value of a line;
// inside a value they are text. The searches below run on every line: a
// character test, where find_first_of would look each character up in a set.
constexpr bool isSeparator(char c) { return c == ' ' || c == '\t'; }

size_t firstSeparator(std::string_view text, size_t from = 0) {
    for (size_t i = from; i < text.size(); ++i)
        if (isSeparator(text[i])) return i;
    return std::string_view::npos;
}

size_t firstNonSeparator(std::string_view text, size_t from = 0) {
    for (size_t i = from; i < text.size(); ++i)
        if (!isSeparator(text[i])) return i;
    return std::string_view::npos;
}

std::string_view trimSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A pointer written with stray spaces around it (" @F1@ ") loses them; any
// other contents keeps its spaces, which may be part of a name or a note.
std::string_view trimPointer(std::string_view contents) {
    if (contents.size() < 4 || (contents.front() != ' ' && contents.back() != ' ')) return contents;
    if (characterCount(contents) < 4) return contents;
    const std::string_view inner = trimSpaces(contents);
    if (inner.empty() || inner.front() != '@' || inner.back() != '@') return contents;
    const size_t length = characterCount(inner);
    return (length >= kShortestPointer && length <= kLongestPointer) ? inner : contents;
}

std::string_view firstWord(std::string_view text) {
    const std::string_view rest = text.substr(std::min(firstNonSeparator(text), text.size()));
    return rest.substr(0, firstSeparator(rest));
}

bool isTagDamaged(std::string_view tag) {
    return tag.empty() || (tag.size() > kLongestTag && characterCount(tag) > kLongestTag);
}

}  // namespace

GEDCOMParser::GEDCOMParser(std::string text) : gedcomData_(std::move(text)) {
    setGedcomDataFromString();
}

// Every carriage return acts as a line feed, so CR, LF and CR LF texts read
// alike (CR LF leaves a blank line, which is skipped). Byte 13 never occurs
// inside a UTF-8 sequence, so this is safe on bytes.
void GEDCOMParser::setGedcomDataFromString() {
    // Most files have no carriage return at all: the vectorised search
    // passes over them several bytes an instruction.
    char* const end = gedcomData_.data() + gedcomData_.size();
    for (char* c = gedcomData_.data(); c != end; ++c) {
        c = static_cast<char*>(std::memchr(c, '\r', static_cast<size_t>(end - c)));
        if (!c) break;
        *c = '\n';
    }
    data_ = gedcomData_.data();
    gedcomEnd_ = gedcomData_.size();
    // A decoder may leave the byte-order mark in front; it is no part of the
    // first line.
    gedcom_ = gedcomData_.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    position_ = gedcom_;
    index_.store(gedcom_, std::memory_order_relaxed);
}

double GEDCOMParser::fractionDone() const {
    if (gedcomData_.empty()) return 0.0;
    return static_cast<double>(index_.load(std::memory_order_relaxed)) /
           static_cast<double>(gedcomData_.size());
}

std::string GEDCOMParser::recordText(std::string_view recordID, std::string_view contents) {
    if (recordID.empty()) return std::string(contents);
    const size_t type = firstNonSeparator(contents);
    if (type == std::string_view::npos) return {};
    const size_t gap = firstSeparator(contents, type);
    if (gap == std::string_view::npos) return {};
    return std::string(contents.substr(std::min(firstNonSeparator(contents, gap), contents.size())));
}

bool GEDCOMParser::validRecordID(std::string_view recordID) {
    if (recordID.size() < kShortestPointer || recordID.front() != '@' || recordID.back() != '@')
        return false;
    const size_t length = characterCount(recordID);
    if (length < kShortestPointer || length > kLongestPointer) return false;
    // A malformed sequence decodes as U+FFFD, which is no letter.
    size_t ignored = 0;
    return isLetterOrDigit(utf8::decodeAt(recordID.substr(0, recordID.size() - 1), 1, &ignored));
}

size_t GEDCOMParser::nextNonWhiteFrom(size_t position) const {
    while (position < gedcomEnd_ &&
           (data_[position] == ' ' || data_[position] == '\t' || data_[position] == '\n'))
        ++position;
    return position;
}

size_t GEDCOMParser::lineEndFrom(size_t position) const {
    if (position >= gedcomEnd_) return gedcomEnd_;
    const void* found = std::memchr(data_ + position, '\n', gedcomEnd_ - position);
    return found ? static_cast<size_t>(static_cast<const char*>(found) - data_)
                 : gedcomEnd_;
}

bool GEDCOMParser::refuse(const char* message) {
    errorMsg_ = message;
    return false;
}

bool GEDCOMParser::entryChecksPass() {
    const size_t first = nextNonWhiteFrom(gedcom_);
    if (first == gedcomEnd_ || data_[first] != '0') return false;
    return first + 1 == gedcomEnd_ || data_[first + 1] == ' ' || data_[first + 1] == '\t' ||
           data_[first + 1] == '\n';
}

GEDCOMParser::DecodedLine GEDCOMParser::copyDecodedLine(size_t start, size_t lineEnd) const {
    const std::string_view text(data_ + start, lineEnd - start);
    DecodedLine line;
    line.raw = text;
    const size_t levelStart = firstNonSeparator(text);
    if (levelStart == std::string_view::npos) return line;  // blank

    std::string_view rest = text.substr(levelStart);
    const size_t levelEnd = std::min(firstSeparator(rest), rest.size());
    if (!readLevel(rest.substr(0, levelEnd), line.level)) {
        line.kind = LineKind::NoLevel;
        line.level = -1;
        return line;
    }
    line.kind = LineKind::Level;
    rest = rest.substr(std::min(firstNonSeparator(rest, levelEnd), rest.size()));
    if (rest.empty()) return line;

    const size_t tagEnd = std::min(firstSeparator(rest), rest.size());
    line.tag = rest.substr(0, tagEnd);
    line.custom = line.tag.front() == '_';
    // Exactly one separating blank or tab goes; any others belong to the
    // contents.
    line.contents = trimPointer(rest.substr(std::min(tagEnd + 1, rest.size())));
    return line;
}

GEDCOMParser::GEDCOMParser(GEDCOMParser& whole, size_t from, size_t to, GEDCOMReader* reader)
    : data_(whole.data_),
      whole_(&whole),
      published_(from),
      gedcom_(from),
      gedcomEnd_(to),
      position_(from),
      delegate_(reader),
      verifyIDs_(whole.verifyIDs_),
      releaseScannedText_(whole.releaseScannedText_),
      released_(from) {}

bool GEDCOMParser::parse() {
    if (!delegate_) return refuse(kMissingDelegate);
    if (!entryChecksPass()) return refuse(kNotGEDCOM);

    delegate_->parserDidStart();
    position_ = gedcom_;
    previousLevel_ = -1;
    memoryMark_ = kClearMemoryInterval;
    released_ = 0;
    const std::vector<size_t> starts =
        pieces_ && threads_ > 1 && maximumRecords_ == kNoRecordLimit ? pieceStarts(pieceCount()) : std::vector<size_t>{};
    if (starts.size() > 1)
        parseInPieces(starts);
    else
        scanLines();
    delegate_->parserDidEnd();
    return true;
}

void GEDCOMParser::scanLines() {
    for (;;) {
        publishPosition();
        if (!keepParsing() || position_ >= gedcomEnd_) break;
        if (releaseScannedText_ && position_ >= released_ + kReleaseStep) releaseScannedPages();
        const size_t lineEnd = lineEndFrom(position_);
        const DecodedLine line = copyDecodedLine(position_, lineEnd);
        position_ = lineEnd < gedcomEnd_ ? lineEnd + 1 : gedcomEnd_;
        handleLine(line);
    }
    if (whole_) {
        whole_->index_.fetch_add(position_ - published_, std::memory_order_relaxed);
        published_ = position_;
        // Only whole pages inside this piece go, which no other piece reads.
        if (releaseScannedText_) releaseScannedPages();
    }
}

void GEDCOMParser::publishPosition() {
    if (!whole_) {
        index_.store(position_, std::memory_order_relaxed);
    } else if (position_ - published_ >= kPublishStep) {
        whole_->index_.fetch_add(position_ - published_, std::memory_order_relaxed);
        published_ = position_;
    }
}

int GEDCOMParser::pieceCount() const {
    // Several pieces a thread, so that installing the first ones overlaps
    // the scanning of the rest and the last to end is short; not so small
    // that a piece's own cost shows.
    const size_t bySize = (gedcomEnd_ - gedcom_) / kSmallestPiece;
    const size_t most = static_cast<size_t>(threads_) * kPiecesPerThread;
    return static_cast<int>(std::clamp(bySize, static_cast<size_t>(threads_), most));
}

std::vector<size_t> GEDCOMParser::pieceStarts(int pieces) const {
    std::vector<size_t> starts{gedcom_};
    const size_t length = gedcomEnd_ - gedcom_;
    for (int piece = 1; piece < pieces; ++piece) {
        size_t at = std::max(gedcom_ + length / static_cast<size_t>(pieces) * static_cast<size_t>(piece), starts.back());
        // From the next line start on, the first level-0 line: records are
        // independent of each other, and every line before it belongs to
        // the record the previous piece ends with.
        at = lineEndFrom(at);
        while (at < gedcomEnd_) {
            const size_t start = at + 1;
            const size_t lineEnd = lineEndFrom(start);
            const DecodedLine line = copyDecodedLine(start, lineEnd);
            if (line.kind == LineKind::Level && line.level == 0) break;
            at = lineEnd;
        }
        if (at >= gedcomEnd_) break;
        if (at + 1 > starts.back()) starts.push_back(at + 1);
    }
    return starts;
}

void GEDCOMParser::parseInPieces(const std::vector<size_t>& starts) {
    const size_t count = starts.size();
    pieces_->piecesCut(count);
    std::vector<std::unique_ptr<GEDCOMReader>> readers;
    std::vector<std::unique_ptr<GEDCOMParser>> scanners;
    for (size_t i = 0; i < count; ++i) {
        readers.push_back(pieces_->readerForPiece());
        const size_t end = i + 1 < count ? starts[i + 1] : gedcomEnd_;
        scanners.push_back(std::unique_ptr<GEDCOMParser>(new GEDCOMParser(*this, starts[i], end, readers.back().get())));
    }
    std::vector<std::exception_ptr> failures(count);
    // Pieces are taken in text order by whichever thread is free; the
    // parsing thread installs each as soon as its scan has ended, so the
    // installing runs beside the scanning of later pieces.
    std::atomic<size_t> nextPiece{0};
    std::mutex doneMutex;
    std::condition_variable pieceDone;
    std::vector<char> done(count, 0);
    size_t doneCount = 0;
    auto scanNext = [&]() -> bool {
        const size_t i = nextPiece.fetch_add(1, std::memory_order_relaxed);
        if (i >= count) return false;
        try {
            scanners[i]->scanLines();
        } catch (...) {
            failures[i] = std::current_exception();
            setKeepParsing(false);
        }
        {
            std::lock_guard lock(doneMutex);
            done[i] = 1;
            ++doneCount;
        }
        pieceDone.notify_all();
        return true;
    };
    std::vector<std::thread> workers;
    // However this ends, no worker outlives it; a failure here stops them first.
    struct Joiner {
        GEDCOMParser& whole;
        std::vector<std::thread>& threads;
        ~Joiner() {
            if (std::uncaught_exceptions() > 0) whole.setKeepParsing(false);
            for (auto& thread : threads)
                if (thread.joinable()) thread.join();
        }
    } joiner{*this, workers};
    const size_t helpers = std::min(count, static_cast<size_t>(std::max(threads_, 1))) - 1;
    workers.reserve(helpers);
    for (size_t t = 0; t < helpers; ++t)
        workers.emplace_back([&scanNext] {
            while (scanNext()) {
            }
        });
    // After a cancel nothing more goes in, so no record is installed half
    // read; the pieces still waiting end their scans at once.
    bool installing = true;
    int64_t counted = 0;
    for (size_t i = 0; i < count; ++i) {
        // The next piece to install first; while it is still being scanned,
        // this thread scans a piece of its own rather than wait.
        for (;;) {
            {
                std::lock_guard lock(doneMutex);
                if (done[i]) break;
            }
            if (scanNext()) continue;
            std::unique_lock lock(doneMutex);
            pieceDone.wait(lock, [&] { return done[i] != 0; });
            break;
        }
        if (failures[i]) std::rethrow_exception(failures[i]);
        if (installing && keepParsing()) {
            counted += scanners[i]->foundRecords();
            installing = pieces_->installPiece(*readers[i]);
        } else {
            installing = false;
        }
        readers[i].reset();
        bool allScanned = false;
        {
            std::lock_guard lock(doneMutex);
            allScanned = doneCount == count;
        }
        // Once every piece is scanned the workers have nothing left to build,
        // and what a piece's reader freed would stay in their malloc arenas
        // and count at the peak (a piece's record list alone is a good part
        // of a megabyte).
        if (allScanned) releaseFreedArenaMemory();
    }
    // Records after the trailer were scanned in vain; the count is what one
    // scan, which stops at the trailer, would have found.
    if (keepParsing())
        foundRecords_.store(static_cast<int32_t>(std::min<int64_t>(counted, std::numeric_limits<int32_t>::max())),
                            std::memory_order_relaxed);
    position_ = gedcomEnd_;
}

void GEDCOMParser::handleLine(const DecodedLine& line) {
    switch (line.kind) {
        case LineKind::Blank:
            return;
        case LineKind::NoLevel:
            sendNoLevel(line.raw, kNoPrefix);
            previousLevel_ = 0;
            return;
        case LineKind::Level:
            if (line.level > 0) handleLevelLine(line);
            else handleLevelZeroLine(line);
            return;
    }
}

void GEDCOMParser::handleLevelLine(const DecodedLine& line) {
    delegate_->parserLevel(line.level, std::string(line.tag), std::string(line.contents), line.custom);
    if (static_cast<int64_t>(line.level) > static_cast<int64_t>(previousLevel_) + 1)
        delegate_->parserInvalidLevelOrder();
    if (isTagDamaged(line.tag)) delegate_->parserInvalidTag();
    previousLevel_ = line.level;
}

void GEDCOMParser::handleLevelZeroLine(const DecodedLine& line) {
    if (line.tag == "HEAD") handleHead(line);
    else if (line.tag == "TRLR") handleTrailer(line);
    else handleRecord(line);
    previousLevel_ = 0;
}

// Counts one level-0 line and tells whether the limit still admitted it.
// The count stops at the largest integer rather than wrapping.
bool GEDCOMParser::countRecordWithinLimit() {
    if (whole_) {
        // Pieces read without a limit; the whole counts for the panel.
        whole_->foundRecords_.fetch_add(1, std::memory_order_relaxed);
        foundRecords_.store(foundRecords() + 1, std::memory_order_relaxed);
        return true;
    }
    const int32_t before = foundRecords();
    if (before < std::numeric_limits<int32_t>::max())
        foundRecords_.store(before + 1, std::memory_order_relaxed);
    return before < maximumRecords_;
}

void GEDCOMParser::handleHead(const DecodedLine& line) {
    if (countRecordWithinLimit()) delegate_->parserFoundHEAD();
    else sendNoLevel(line.raw, kRefusedPrefix);
}

void GEDCOMParser::handleTrailer(const DecodedLine& line) {
    if (delegate_->parserFoundTRLR()) position_ = gedcomEnd_;
    else sendNoLevel(line.raw, kRefusedPrefix);
}

void GEDCOMParser::handleRecord(const DecodedLine& line) {
    if (!countRecordWithinLimit()) {
        sendNoLevel(line.raw, kRefusedPrefix);
        return;
    }
    // A custom tag with no cross-reference before it ("0 _EVENT_DEFN Census")
    // is a record of that tag without an ID, not an ID of the next word.
    if (line.custom) {
        delegate_->parserStartRecord(std::string(line.tag), std::string(), std::string(line.contents), verifyIDs_);
    } else {
        delegate_->parserStartRecord(std::string(firstWord(line.contents)), std::string(line.tag),
                                     std::string(line.contents), verifyIDs_);
        if (!validRecordID(line.tag)) delegate_->parserInvalidRecordID(std::string(line.tag));
    }
    // A header pushing the count past a mark must not stall the reports, so
    // the test is "reached or passed".
    if (foundRecords() >= memoryMark_) {
        delegate_->parserClearMemory();
        memoryMark_ += kClearMemoryInterval;
    }
}

// Every line before position_ has been handled and the reader has copied
// what it keeps, so the whole pages of text before it are no longer read.
// Dropping them lets the system reuse the memory while the tree grows; the
// string itself stays valid (the dropped pages read as zeros).
void GEDCOMParser::releaseScannedPages() {
#if defined(__linux__)
    static const auto pageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto base = reinterpret_cast<uintptr_t>(data_);
    const uintptr_t first = (base + released_ + pageSize - 1) & ~(pageSize - 1);
    const uintptr_t last = (base + position_) & ~(pageSize - 1);
    if (last <= first) return;
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
    released_ = last - base;
#else
    released_ = position_;
#endif
}

void GEDCOMParser::releaseFreedArenaMemory() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

void GEDCOMParser::sendNoLevel(std::string_view raw, std::string_view prefix) {
    std::string text;
    text.reserve(prefix.size() + raw.size());
    text.append(prefix).append(raw);
    delegate_->parserNoLevelLine(std::move(text));
}

}  // namespace kl
