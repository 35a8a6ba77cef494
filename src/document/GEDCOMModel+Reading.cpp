// Reading: bytes to text, text to records through the parser, records into
// their lists.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <functional>
#include <thread>

#include "document/GEDCOMModel.h"
#include "model/GEDCOMParser.h"
#include "document/ModelDocument.h"
#include "foundation/Exception.h"
#include "foundation/LargeText.h"
#include "foundation/Logger.h"
#include "foundation/UndoManager.h"
#include "model/BookRecord.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/HEADRecord.h"
#include "model/INDIRecord.h"
#include "model/LOGRecord.h"
#include "model/NodeAllocator.h"
#include "model/NOTERecord.h"
#include "model/OBJERecord.h"
#include "model/OtherRecord.h"
#include "model/PlaceRecord.h"
#include "model/REPORecord.h"
#include "model/SOURRecord.h"
#include "model/SUBMRecord.h"
#include "model/SUBNRecord.h"
#include "model/TextEncoding.h"
#include "model/wex.h"

namespace kl {

namespace {

using Maker = std::function<std::shared_ptr<GEDCOMRecord>(const std::string& type, const std::string& recordID,
                                                          const std::string& contents)>;

// Records read from a file come from the node pool, as their lines do.
template <class Kind>
std::shared_ptr<GEDCOMRecord> makeKind(const std::string& type, const std::string& recordID, const std::string&) {
    return std::allocate_shared<Kind>(NodeAllocator<Kind>(), recordID, type);
}

std::shared_ptr<GEDCOMRecord> makeHeader(const std::string&, const std::string&, const std::string&) {
    return std::allocate_shared<HEADRecord>(NodeAllocator<HEADRecord>());
}

std::shared_ptr<GEDCOMRecord> makeNote(const std::string&, const std::string& recordID, const std::string&) {
    return std::allocate_shared<NOTERecord>(NodeAllocator<NOTERecord>(), recordID, "NOTE");
}

// Indexed by the type's place in the type order; 14 is any other tag.
// Stored reports read from a file are plain records: report records are
// made only for reports run in this session.
const std::array<Maker, 15>& readMakers() {
    static const std::array<Maker, 15> makers{
        makeKind<INDIRecord>,  makeKind<INDIRecord>, makeKind<FAMRecord>,  makeKind<PlaceRecord>,
        makeKind<SOURRecord>,  makeKind<OBJERecord>, makeKind<REPORecord>, makeKind<SUBMRecord>,
        makeKind<SUBNRecord>,  makeNote,             makeHeader,           makeKind<LOGRecord>,
        makeKind<BookRecord>,  makeKind<OtherRecord>, makeKind<OtherRecord>};
    return makers;
}

bool isASCII(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One allocation of the file's size, known before reading (a buffer
// doubling its way up would briefly need half again). Only a regular file
// is read: a device or a pipe has no size and may never end. The open does
// not wait for a pipe's writer.
std::optional<std::string> readFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) return std::nullopt;
    std::string text;
    reserveLargeText(text, static_cast<size_t>(st.st_size));
    text.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::read(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;  // cut short while we read: what is there
        done += static_cast<size_t>(n);
    }
    text.resize(done);
    return text;
}

// The name under which a place record is indexed: its first _PLACE line with
// continuation lines joined.
std::string placeNameOf(const GEDCOMRecord& record) {
    auto place = record.findStructureWithTag("_PLACE");
    if (!place) return record.viewName();
    std::string name = place->contents();
    for (const auto& more : place->structures()) {
        if (more->gtag() == "CONT") name.append("\n").append(more->contents());
        if (more->gtag() == "CONC") name.append(more->contents());
    }
    return name;
}

// Clears the parser slot when a parse ends, also by an exception.
struct ParserSlot {
    std::mutex& mutex;
    GEDCOMParser*& slot;
    ParserSlot(std::mutex& m, GEDCOMParser*& s, GEDCOMParser* parser) : mutex(m), slot(s) {
        std::lock_guard lock(mutex);
        slot = parser;
    }
    ~ParserSlot() {
        std::lock_guard lock(mutex);
        slot = nullptr;
    }
};

// What every read does with the lines below a level-0 line, whether the
// store reads them one by one or a piece's reader builds them apart. No
// record yet: lines before the first level-0 line are dropped.
void addReadLine(GEDCOMRecord* record, int32_t level, std::string tag, std::string contents, bool custom) {
    if (!record || (custom && tag == "_REF")) return;
    record->addLevel(level, std::move(tag), std::move(contents));
}

void addLevellessLine(GEDCOMRecord* record, std::string text) {
    if (!record) return;
    record->addNoLevel(std::move(text));
    record->setCorruptBit(CorruptMissingLevel);
}

void markDamage(GEDCOMRecord* record, CorruptBit bit) {
    if (record) record->setCorruptBit(bit);
}

// The name a record is known by while it is read: its ID, else its type.
std::string readNameOf(const std::string& recordType, const std::string& recordID) {
    return recordID.empty() ? recordType : recordID;
}

// One piece of a read on several threads: its records, built on the piece's
// worker without a store, waiting to be installed in order.
class PieceRecords : public GEDCOMReader {
public:
    struct Read {
        GEDCOMModel::RecordPtr record;
        std::string readName;  // empty for the header
        bool verifyID = false;
    };
    std::vector<Read> records;
    bool trailer = false;

    void parserDidStart() override {}
    void parserDidEnd() override {}
    void parserFoundHEAD() override { start({GEDCOMModel::makeRecordForRead("HEAD", "", "HEAD"), {}, false}); }
    void parserStartRecord(std::string type, std::string recordID, std::string contents, bool verifyID) override {
        start({GEDCOMModel::makeRecordForRead(type, recordID, contents), readNameOf(type, recordID), verifyID});
    }
    void parserLevel(int32_t level, std::string tag, std::string contents, bool custom) override {
        addReadLine(current_, level, std::move(tag), std::move(contents), custom);
    }
    bool parserFoundTRLR() override {
        trailer = true;
        current_ = nullptr;
        return true;
    }
    void parserClearMemory() override {}
    void parserInvalidRecordID(std::string) override { markDamage(current_, CorruptInvalidID); }
    void parserInvalidLevelOrder() override { markDamage(current_, CorruptMisorderedLevels); }
    void parserInvalidTag() override { markDamage(current_, CorruptInvalidTag); }
    void parserNoLevelLine(std::string text) override { addLevellessLine(current_, std::move(text)); }

private:
    void start(Read read) {
        records.push_back(std::move(read));
        current_ = records.back().record.get();
    }
    GEDCOMRecord* current_ = nullptr;
};

std::atomic<int> gReaderThreads{0};

// Below this a read on one thread ends before threads would have started.
constexpr std::size_t kParallelReadBytes = std::size_t{1} << 20;
constexpr int kMostReaderThreads = 8;
// Below this many records threads cost more than the tidying they share.
constexpr std::size_t kParallelTidyRecords = 4096;
// Installed records are handed to the tidiers in batches of at least this many.
constexpr std::size_t kTidyBatch = 16384;

}  // namespace

GEDCOMModel::RecordPtr GEDCOMModel::makeRecordForRead(const std::string& type, const std::string& recordID,
                                                      const std::string& contents) {
    const int place = RecordsIndices::indexForRecordType(type);
    RecordPtr record = readMakers()[static_cast<size_t>(place)](type, recordID, contents);
    if (!record->isType("HEAD")) record->takeRecordText(GEDCOMParser::recordText(recordID, contents));
    return record;
}

// ---- decoding files

void GEDCOMModel::setGedcomFromFile(const std::optional<std::string>& path) {
    std::string bytes;
    if (!path) {
        bytes = kEmptyDatabase;
    } else {
        auto read = readFile(*path);
        if (!read) raise(exception_names::FileReadError, "The file's GEDCOM data could not be read.");
        bytes = std::move(*read);
    }
    const auto encoding = encodingFromCode(static_cast<uint32_t>(encoding_));
    if (!encoding)
        raise(exception_names::FileReadError, "The file's GEDCOM data could not be read due to encoding error.");
    // A damaged unit keeps its place as a replacement character and is
    // counted in the read's message; the rest of the database opens.
    DecodeResult decoded = decodeTaking(std::move(bytes), *encoding);
    tidyWhileReading_ = true;
    decodeWarning_ = decoded.message();
    // The file's bytes are not needed once decoded; holding them through
    // the parse would add a whole file to the peak.
    std::string().swap(bytes);
    inputGed_ = std::move(decoded.text);
    setRecordsFromStringVerifyIDs(true, false);
}

void GEDCOMModel::setGedcomFromImportFile(const std::string& path) {
    auto bytes = readFile(path);
    if (!bytes) raise(exception_names::FileReadError, "The file's GEDCOM data could not be read.");
    std::optional<DecodeResult> decoded;
    std::string chosenWarning;
    const auto declared = encodingFromCode(static_cast<uint32_t>(impEncoding_));
    const bool utf8Mark = bytes->starts_with("\xEF\xBB\xBF");
    if (declared == TextEncoding::ASCII && !isASCII(*bytes)) {
        // A file that claims plain ASCII, or names no set, and is not: its
        // bytes say which of the two common sets it is in.
        const TextEncoding chosen = isValidUTF8(*bytes) ? TextEncoding::UTF8 : TextEncoding::Windows1252;
        decoded = decode(*bytes, chosen);
        chosenWarning = (impCharSet_.empty() ? std::string("The file names no character set")
                                             : "The file's character set (" + impCharSet_ + ") does not fit its characters") +
                        "; it was read as " + encodingName(chosen) + ".";
    } else if (declared == TextEncoding::ANSEL && !isASCII(*bytes) && isValidUTF8(*bytes)) {
        // ANSEL's letters with marks are never valid UTF-8: this file was
        // written in UTF-8 under the wrong name.
        decoded = decode(*bytes, TextEncoding::UTF8);
        chosenWarning = "The file's character set (" + impCharSet_ + ") does not fit its characters; it was read as " +
                        encodingName(TextEncoding::UTF8) + ".";
    } else if (declared == TextEncoding::UTF8 && !utf8Mark) {
        // Only a UTF-8 claim without a byte-order mark is often wrong; the
        // guesses below take over when it does not hold. The bytes of one
        // that holds are the text: a large file is not copied.
        if (isValidUTF8(*bytes)) decoded = decodeTaking(std::move(*bytes), TextEncoding::UTF8);
    } else if (declared) {
        // Whatever a set cannot decode becomes replacement characters, counted
        // in the read's message; one bad unit never refuses a whole file.
        decoded = decodeTaking(std::move(*bytes), *declared);
    }
    if (!decoded) {
        for (TextEncoding guess : {TextEncoding::ISOLatin1, TextEncoding::ISOLatin2, TextEncoding::ASCII}) {
            DecodeResult tried = decode(*bytes, guess);
            if (!tried.clean()) continue;
            readAlert_ = std::vector<std::string>{
                "The character set in the file (" + impCharSet_ + ") did not work so it was read by guessing " +
                    encodingName(guess) + " characters instead.",
                "The file was read, but certain accented character may not be correct."};
            decoded = std::move(tried);
            break;
        }
    }
    if (!decoded)
        raise(exception_names::FileReadError,
              "The character set in the file (" + impCharSet_ + ") does not appear to match the actual encoding.");
    decodeWarning_ = decoded->message();
    if (!chosenWarning.empty())
        decodeWarning_ = decodeWarning_.empty() ? chosenWarning : chosenWarning + " " + decodeWarning_;
    impCharSet_.clear();
    bytes.reset();
    inputGed_ = std::move(decoded->text);
    tidyWhileReading_ = true;
    setRecordsFromStringVerifyIDs(true, true);
}

void GEDCOMModel::setRecordsFromStringVerifyIDs(bool verify, bool importing) {
    const bool tidy = std::exchange(tidyWhileReading_, false);
    if (parsingAborted_) {
        inputGed_.clear();
        return;
    }
    const int threads = readerThreads(inputGed_.size());
    // The pass that follows tidies only with undo registration off.
    UndoManager* um = undoManager();
    tidyingPieces_ = tidy && um && !um->isUndoRegistrationEnabled();
    tidiedUUIDs_ = false;
    GEDCOMParser parser(std::move(inputGed_));
    inputGed_.clear();
    parser.setDelegate(this);
    parser.setPieceReader(this, threads);
    parser.setVerifyIDs(verify);
    // Every report copies what it keeps, so the scanned text can go early.
    parser.setReleaseScannedText(true);
    importing_ = importing;
    readPieces_ = threads;
    bool ok = false;
    {
        // However the read ends, no tidying outlives it.
        struct Joiner {
            std::vector<std::jthread>& tidiers;
            std::vector<RecordPtr>& waiting;
            ~Joiner() {
                tidiers.clear();
                waiting.clear();
            }
        } joiner{tidiers_, toTidy_};
        ParserSlot slot(parseMutex_, gedParse_, &parser);
        // A stop asked for between the check above and now still counts.
        if (parsingAborted_) parser.setKeepParsing(false);
        ok = parser.parse();
        finishTidying();
    }
    tidyingPieces_ = false;
    decoding_.reset();
    if (!ok) raise(exception_names::FileReadError, parser.errorMsg());
}

void GEDCOMModel::runSimplifyGEDCOM(int mode) {
    const bool counted = mode == 1 || mode == 2;
    if (counted) {
        inSimplify_ = true;
        totalRecordsSimplified_ = 0;
    }
    recordsIndex_->simplifyGEDCOM(mode);
    if (mode == 1) checkCSSLinks();
    inSimplify_ = false;
}

bool GEDCOMModel::reparseRecord(const RecordPtr& record, const std::string& text) {
    if (!record) return false;
    const size_t start = text.find_first_not_of(" \t\r\n");
    const bool hasLevelZero = start != std::string::npos && text[start] == '0' &&
                              (start + 1 == text.size() || std::isspace(static_cast<unsigned char>(text[start + 1])));
    if (hasLevelZero) return record->reparse(text);
    return record->reparse(record->structureLine() + text);
}

// ---- the parser's reports

void GEDCOMModel::parserDidStart() {
    if (UndoManager* um = undoManager()) um->removeAllActionsWithTarget(recordsIndex_.get());
    recordsIndex_ = std::make_unique<RecordsIndices>(this, albumInput_ ? &*albumInput_ : nullptr);
    albumInput_.reset();
    places_ = std::make_unique<PlaceIndex>(this);
    sawTrailer_ = false;
    reservedForRead_ = false;
    lastRecordRead_.clear();
    if (delegate_) delegate_->parceGEDCOMStep();
}

void GEDCOMModel::parserFoundHEAD() { installHeader(makeRecordForRead("HEAD", "", "HEAD")); }

void GEDCOMModel::parserStartRecord(std::string recordType, std::string recordID, std::string contents,
                                    bool verifyID) {
    installRecord(makeRecordForRead(recordType, recordID, contents), readNameOf(recordType, recordID), verifyID);
}

void GEDCOMModel::installHeader(RecordPtr header) {
    doneDecodingRecord();
    decoding_ = std::move(header);
    lastRecordRead_ = "HEAD";
    recordsIndex_->addRecord(decoding_, false);
}

void GEDCOMModel::installRecord(RecordPtr record, const std::string& readName, bool verifyID) {
    doneDecodingRecord();
    lastRecordRead_ = readName;
    decoding_ = std::move(record);
    if (verifyID && !decoding_->grecordID().empty() && recordsIndex_->recordWithID(decoding_->grecordID())) {
        // Reachable only through "Corrupted": the first record keeps the ID.
        decoding_->setCorruptBit(CorruptDuplicateID);
        decoding_->setModel(this);
        return;
    }
    recordsIndex_->addRecord(decoding_, false);
}

void GEDCOMModel::parserLevel(int32_t level, std::string tag, std::string contents, bool custom) {
    addReadLine(decoding_.get(), level, std::move(tag), std::move(contents), custom);
}

void GEDCOMModel::parserNoLevelLine(std::string text) { addLevellessLine(decoding_.get(), std::move(text)); }

void GEDCOMModel::parserInvalidRecordID(std::string) { markDamage(decoding_.get(), CorruptInvalidID); }

void GEDCOMModel::parserInvalidLevelOrder() { markDamage(decoding_.get(), CorruptMisorderedLevels); }

void GEDCOMModel::parserInvalidTag() { markDamage(decoding_.get(), CorruptInvalidTag); }

bool GEDCOMModel::parserFoundTRLR() {
    sawTrailer_ = true;
    doneDecodingRecord();
    return true;
}

void GEDCOMModel::parserDidEnd() {
    doneDecodingRecord();
    {
        std::lock_guard lock(parseMutex_);
        if (gedParse_) totalRecordsDone_ = gedParse_->foundRecords();
    }
    recordsIndex_->trimEmptyLists();
}

void GEDCOMModel::piecesCut(std::size_t count) { readPieces_ = static_cast<int>(count); }

std::unique_ptr<GEDCOMReader> GEDCOMModel::readerForPiece() { return std::make_unique<PieceRecords>(); }

bool GEDCOMModel::installPiece(GEDCOMReader& piece) {
    auto& read = static_cast<PieceRecords&>(piece);
    std::vector<RecordPtr> installed;
    if (tidyingPieces_) {
        installed.reserve(read.records.size());
        for (const auto& one : read.records) installed.push_back(one.record);
    }
    for (auto& one : read.records) {
        if (one.readName.empty())
            installHeader(std::move(one.record));
        else
            installRecord(std::move(one.record), one.readName, one.verifyID);
    }
    read.records.clear();
    // Pieces are cut to a like size: the first tells how many records of
    // each kind the others bring.
    if (!reservedForRead_ && readPieces_ > 1) {
        recordsIndex_->reserveRecords(static_cast<std::size_t>(readPieces_));
        reservedForRead_ = true;
    }
    // The record read last is finished when the next one comes: it waits
    // for the pass after the read.
    std::erase(installed, decoding_);
    if (toTidy_.empty()) toTidy_ = std::move(installed);
    else toTidy_.insert(toTidy_.end(), std::make_move_iterator(installed.begin()), std::make_move_iterator(installed.end()));
    if (toTidy_.size() >= kTidyBatch) tidyInstalled(std::exchange(toTidy_, {}));
    if (!read.trailer) return true;
    parserFoundTRLR();
    return false;
}

void GEDCOMModel::tidyInstalled(std::vector<RecordPtr> records) {
    // An installed record's place in the store is settled (a later record
    // never takes its ID), and until the store's pass links them, records
    // are independent of each other and of the installing.
    const std::size_t parts = std::min<std::size_t>(static_cast<std::size_t>(tidyingThreads(records.size())),
                                                    records.size());
    auto shared = std::make_shared<const std::vector<RecordPtr>>(std::move(records));
    for (std::size_t part = 0; part < parts; ++part) {
        tidiers_.emplace_back([this, shared, part, parts] {
            try {
                const std::size_t from = shared->size() * part / parts;
                const std::size_t to = shared->size() * (part + 1) / parts;
                bool any = false;
                for (std::size_t i = from; i < to; ++i) any = (*shared)[i]->prepareAfterRead() || any;
                if (any) tidiedUUIDs_ = true;
            } catch (...) {
                std::lock_guard lock(tidyFailureMutex_);
                if (!tidyFailure_) tidyFailure_ = std::current_exception();
            }
        });
    }
}

void GEDCOMModel::finishTidying() {
    if (!toTidy_.empty()) tidyInstalled(std::exchange(toTidy_, {}));
    tidiers_.clear();
    std::exception_ptr failure;
    {
        std::lock_guard lock(tidyFailureMutex_);
        failure = std::exchange(tidyFailure_, nullptr);
    }
    if (failure) std::rethrow_exception(failure);
}

int GEDCOMModel::readerThreads(std::size_t bytes) {
    if (const int chosen = gReaderThreads.load(std::memory_order_relaxed); chosen > 0) return chosen;
    if (bytes < kParallelReadBytes) return 1;
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, kMostReaderThreads);
}

int GEDCOMModel::tidyingThreads(std::size_t records) {
    if (const int chosen = gReaderThreads.load(std::memory_order_relaxed); chosen > 0) return chosen;
    if (records < kParallelTidyRecords) return 1;
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, kMostReaderThreads);
}

void GEDCOMModel::setReaderThreads(int threads) { gReaderThreads.store(std::max(threads, 0), std::memory_order_relaxed); }

void GEDCOMModel::doneDecodingRecord() {
    if (!decoding_) return;
    RecordPtr record = std::move(decoding_);
    decoding_.reset();
    if (record->isType("_PLC")) places_->addPlace(placeNameOf(*record), record);
    if (importing_ && record->isType("HEAD")) readEmbeddedPackageData(record);
    if (record->corrupt() != 0) recordsIndex_->addCorruptedRecord(record, false);
}

}  // namespace kl
