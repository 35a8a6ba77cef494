#pragma once
// GEDCOMReader: the receiver of one scan by GEDCOMParser. The parser sends
// these reports on its own thread, in text order, and does not own its
// reader; the reader must outlive the scan. Texts are handed over by value
// so that a reader building a tree can move them into its nodes.
#include <cstdint>
#include <memory>
#include <string>

namespace kl {

class GEDCOMReader {
public:
    virtual ~GEDCOMReader() = default;

    // Once before the first line and once when the scan ends normally.
    virtual void parserDidStart() = 0;
    virtual void parserDidEnd() = 0;

    // A level-0 "HEAD" line within the record limit.
    virtual void parserFoundHEAD() = 0;

    // Any other level-0 line within the record limit: the first word of the
    // contents as type, the cross-reference as ID, the whole contents. A
    // custom tag standing where the ID would be is the type itself, with an
    // empty ID and everything after it as contents.
    virtual void parserStartRecord(std::string recordType, std::string recordID,
                                   std::string contents, bool verifyID) = 0;

    // Every line with a level of 1 or more.
    virtual void parserLevel(int32_t level, std::string tag, std::string contents,
                             bool custom) = 0;

    // A level-0 "TRLR" line; answering true ends the scan there.
    virtual bool parserFoundTRLR() = 0;

    // After every 2000 level-0 lines, so a long read can drop temporaries.
    virtual void parserClearMemory() = 0;

    // Damage reports, each right after the line it concerns.
    virtual void parserInvalidRecordID(std::string recordID) = 0;
    virtual void parserInvalidLevelOrder() = 0;
    virtual void parserInvalidTag() = 0;

    // A line without a usable level number, or a refused level-0 line
    // (then prefixed with "ERROR: ").
    virtual void parserNoLevelLine(std::string text) = 0;
};

// The receiver of a scan on several threads. The parser cuts the text at
// level-0 lines into pieces, scans each piece on a thread of its own into a
// reader made for that piece, and hands the pieces back in text order on the
// parsing thread, each once its scan has ended. Together the pieces receive
// exactly the reports one scan of the whole would send, apart from
// parserDidStart and parserDidEnd, which the parser's delegate receives.
class GEDCOMPieceReader {
public:
    virtual ~GEDCOMPieceReader() = default;
    // On the parsing thread, first: how many pieces the text was cut into.
    virtual void piecesCut(std::size_t /*count*/) {}
    // On the parsing thread, before any piece is scanned. The reader is used
    // on one worker thread and must not touch what other pieces touch.
    virtual std::unique_ptr<GEDCOMReader> readerForPiece() = 0;
    // On the parsing thread, in text order, only for a piece scanned whole
    // (never after a cancel). Answers false to take no later piece (its
    // reader met the trailer).
    virtual bool installPiece(GEDCOMReader& piece) = 0;
};

}  // namespace kl
