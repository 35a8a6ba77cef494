#pragma once
// GEDCOMParser: the lenient line scanner under every GEDCOM read. It owns a
// prepared copy of the text (carriage returns made line feeds; blanks and tabs
// both separate the words of a line), walks it once and reports every line to
// its GEDCOMReader; it builds nothing itself and no damaged line stops it.
//
// With a piece reader and more than one thread, the text is cut at level-0
// lines into several pieces a thread and the pieces are scanned in parallel
// (see GEDCOMPieceReader);
// every report is the same as one scan's.
//
// Thread: parse() runs on the calling thread, and on workers of its own that
// have all ended when it returns. setKeepParsing(false), keepParsing(),
// foundRecords() and fractionDone() may be used from any other thread while
// it runs (a cancel button, a progress panel).
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace kl {

class GEDCOMPieceReader;
class GEDCOMReader;

class GEDCOMParser {
public:
    static constexpr int32_t kNoRecordLimit = std::numeric_limits<int32_t>::max();
    static constexpr int32_t kClearMemoryInterval = 2000;

    // Takes the text by value: pass an rvalue to have it prepared in place.
    explicit GEDCOMParser(std::string text);
    GEDCOMParser(const GEDCOMParser&) = delete;
    GEDCOMParser& operator=(const GEDCOMParser&) = delete;

    // Scans the whole text. True when it was scanned, damaged lines and all;
    // false, with errorMsg() set and nothing reported, when it was refused.
    bool parse();

    void setDelegate(GEDCOMReader* delegate) { delegate_ = delegate; }
    GEDCOMReader* delegate() const { return delegate_; }

    // Scans in up to `threads` pieces into readers of `pieces` (nullptr, or
    // 1 thread: one scan into the delegate). Not with a record limit.
    void setPieceReader(GEDCOMPieceReader* pieces, int threads) {
        pieces_ = pieces;
        threads_ = threads;
    }

    void setMaximumRecords(int32_t maximum) { maximumRecords_ = maximum; }
    int32_t maximumRecords() const { return maximumRecords_; }

    void setVerifyIDs(bool verify) { verifyIDs_ = verify; }
    bool verifyIDs() const { return verifyIDs_; }

    void setKeepParsing(bool keep) { keepParsing_.store(keep, std::memory_order_relaxed); }
    // A piece answers its whole's flag.
    bool keepParsing() const { return (whole_ ? whole_ : this)->keepParsing_.load(std::memory_order_relaxed); }

    // Level-0 header and record lines counted so far (the trailer is not).
    int32_t foundRecords() const { return foundRecords_.load(std::memory_order_relaxed); }

    // Share of the text scanned so far, 0 to 1.
    double fractionDone() const;

    const std::string& errorMsg() const { return errorMsg_; }
    void setErrorMsg(std::string message) { errorMsg_ = std::move(message); }

    // The prepared text. With setReleaseScannedText(true), parse() hands the
    // memory of what it has scanned back to the system as it goes, and that
    // part reads as zero bytes afterwards.
    const std::string& gedcomData() const { return gedcomData_; }

    // For a reader that copies what it keeps out of each line (as every
    // record store does): lowers the peak memory of a large read by about
    // the size of the text. Off by default.
    void setReleaseScannedText(bool release) { releaseScannedText_ = release; }
    bool releaseScannedText() const { return releaseScannedText_; }

    // The text of a level-0 line after its record type, from the ID and the
    // whole contents a reader was handed: the contents without their first
    // word, or all of them for a record without an ID.
    static std::string recordText(std::string_view recordID, std::string_view contents);

    // "@", a letter or digit, anything, "@": 3 to 22 characters in all.
    static bool validRecordID(std::string_view recordID);

private:
    enum class LineKind { Blank, NoLevel, Level };

    // One decoded line; the views point into gedcomData_.
    struct DecodedLine {
        LineKind kind = LineKind::Blank;
        int32_t level = 0;
        std::string_view tag;
        std::string_view contents;
        bool custom = false;
        std::string_view raw;  // from line start up to the line feed
    };

    // A piece of `whole`'s text, [from, to), scanned into `reader`.
    GEDCOMParser(GEDCOMParser& whole, size_t from, size_t to, GEDCOMReader* reader);

    void setGedcomDataFromString();
    void scanLines();
    void publishPosition();
    // Where each piece starts: at gedcom_, then at level-0 lines near equal
    // shares of the text.
    std::vector<size_t> pieceStarts(int pieces) const;
    // How many pieces to cut for threads_ threads.
    int pieceCount() const;
    void parseInPieces(const std::vector<size_t>& starts);
    bool refuse(const char* message);
    bool entryChecksPass();
    size_t nextNonWhiteFrom(size_t position) const;
    size_t lineEndFrom(size_t position) const;
    DecodedLine copyDecodedLine(size_t start, size_t lineEnd) const;

    void handleLine(const DecodedLine& line);
    void handleLevelLine(const DecodedLine& line);
    void handleLevelZeroLine(const DecodedLine& line);
    void handleHead(const DecodedLine& line);
    void handleTrailer(const DecodedLine& line);
    void handleRecord(const DecodedLine& line);
    bool countRecordWithinLimit();
    void sendNoLevel(std::string_view raw, std::string_view prefix);
    void releaseScannedPages();
    static void releaseFreedArenaMemory();

    std::string gedcomData_;
    const char* data_ = nullptr;  // the scanned text: this parser's, or the whole's for a piece
    GEDCOMParser* whole_ = nullptr;  // for a piece: the parser it belongs to
    GEDCOMPieceReader* pieces_ = nullptr;
    int threads_ = 1;
    size_t published_ = 0;  // a piece's scan position last added to the whole's index_
    size_t gedcom_ = 0;     // first scanned byte (past a byte-order mark)
    size_t gedcomEnd_ = 0;  // one past the last byte
    size_t position_ = 0;   // scan position, owned by the scanning thread
    std::atomic<size_t> index_{0};  // published copy of position_ for progress

    GEDCOMReader* delegate_ = nullptr;
    std::string errorMsg_;
    int32_t maximumRecords_ = kNoRecordLimit;
    std::atomic<bool> keepParsing_{true};
    bool verifyIDs_ = false;
    bool releaseScannedText_ = false;
    size_t released_ = 0;  // bytes from the start of gedcomData_ handed back
    std::atomic<int32_t> foundRecords_{0};

    int32_t previousLevel_ = -1;
    int64_t memoryMark_ = kClearMemoryInterval;  // wide: it may pass the count's ceiling
};

}  // namespace kl
