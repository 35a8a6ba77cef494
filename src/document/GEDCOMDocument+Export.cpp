// Exporting to a plain GEDCOM file: the model writes the chosen records in
// the chosen line ending, a post-processing pass folds into the records
// what a standard reader would not find elsewhere (left-out multimedia and
// places) and rewrites file paths for the export's folder, and the text is
// encoded and put in place in one step, so a failed or cancelled export
// leaves no partial file.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "document/DocumentUI.h"
#include "document/ExportOptions.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMTextScan.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "model/HEADRecord.h"
#include "model/OBJERecord.h"
#include "model/PlaceRecord.h"
#include "model/TextEncoding.h"
#include "model/wex.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

using enum GEDCOMModel::ExportFlag;
using Line = GEDCOMTextScan::Line;

constexpr const char* kCannotExport = "The data cannot be exported to a GEDCOM file.";
constexpr const char* kUnsupportedSet = "An unsupported character set was encountered.";
constexpr const char* kExportError = "Error exporting GEDCOM data.";
constexpr const char* kNotExported = "The data could not be exported to a GEDCOM file.";

// Builds the rewritten text in one forward pass: replacements come in
// order of position, so each pass stays linear however many lines change.
// A replacement equal to what it replaces is no change: the header's own
// FILE line comes back as written on every export, and copying the whole
// text for it cost as much as writing the records.
class Rewrite {
public:
    explicit Rewrite(const std::string& text) : text_(text) {}
    void replace(std::size_t from, std::size_t to, std::string_view with) {
        if (std::string_view(text_).substr(from, to - from) == with) return;
        if (!changed_) out_.reserve(text_.size() + text_.size() / 8);
        changed_ = true;
        out_.append(text_, copied_, from - copied_);
        out_.append(with);
        copied_ = to;
    }
    void insert(std::size_t at, std::string_view with) { replace(at, at, with); }
    void finishInto(std::string& text) {
        if (!changed_) return;
        out_.append(text_, copied_);
        text = std::move(out_);
    }

private:
    const std::string& text_;
    std::string out_;
    std::size_t copied_ = 0;
    bool changed_ = false;
};

// ASCII is written as ASCII: bytes of another set under "CHAR ASCII" would
// read back as other characters.
TextEncoding encoderFor(int code) {
    if (code == 30) return TextEncoding::ASCII;
    return encodingFromCode(static_cast<std::uint32_t>(code)).value_or(TextEncoding::UTF8);
}

void writeAtomically(const fs::path& path, const std::string& bytes) {
    fs::path temporary = path;
    temporary += ".kinlore-export";
    std::error_code error;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            raise(exception_names::FileWriteError, kNotExported);
        }
    }
    fs::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        raise(exception_names::FileWriteError, kNotExported);
    }
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

bool GEDCOMDocument::exportFinally(const fs::path& path) {
    const int encoding = ExportOptions::exportEncoding();
    if (encoding == 0) {
        ui().exportAlert(*this, kCannotExport, kUnsupportedSet, true);
        return false;
    }
    setReadWriteMessage(std::nullopt);
    readWriteStatus_ = Running;
    road_ = Road::Exporting;
    thumbnailStep_ = false;
    lostInExport_ = 0;
    const uint32_t flags = ExportOptions::exportFlags();
    const std::string lineEnding = ExportOptions::currentLineEnding();
    const int album = ExportOptions::albumIndex();
    const auto start = std::chrono::steady_clock::now();
    std::thread worker([this, path, encoding, flags, lineEnding, album] {
        runWorker([&] { exportToGEDCOMFileThread(path, encoding, flags, lineEnding, album); });
    });
    Logger::log("Start exporting GEDCOM file {} at {}", path.filename().string(), Logger::timestamp());
    waitForWorker("Exporting GEDCOM file '" + path.filename().string() + "'", "Records Saved", 0.25);
    worker.join();
    Logger::log("...done exporting in {} seconds status {}", secondsSince(start), readWriteStatus_.load());
    switch (readWriteStatus_.load()) {
    case Done:
        if (lostInExport_ > 0)
            ui().exportAlert(*this, std::to_string(lostInExport_) + " characters could not be written in the " +
                                 ExportOptions::exportCharacterSet().value_or("") +
                                 " character set and were replaced.",
                             "", false);
        return true;
    case Failed: ui().exportAlert(*this, kExportError, readWriteMessage().value_or(kNotExported), true); return false;
    default: return false;
    }
}

void GEDCOMDocument::exportToGEDCOMFileThread(const fs::path& path, int encoding, uint32_t flags,
                                              const std::string& lineEnding, int albumIndex) {
    auto header = std::dynamic_pointer_cast<HEADRecord>(gedcomModel_->header());
    // Whatever happens, the document goes on in UTF-8 with LF endings, as
    // a package is written, and its edits are undoable again.
    undo_.disableUndoRegistration();
    struct Restore {
        std::shared_ptr<HEADRecord> header;
        UndoManager& undo;
        ~Restore() {
            if (header) header->setCharacters(GEDCOMModel::kDefaultEncoding);
            GEDCOMModel::setLineEnding("\n");
            GEDCOMModel::setExportFlags(0);
            undo.enableUndoRegistration();
        }
    } restore{header, undo_};
    GEDCOMModel::setLineEnding(lineEnding);
    if (header) header->setCharacters(static_cast<unsigned>(encoding));
    const uint32_t exportFlags = flags | kWithHeader;
    std::string text = gedcomModel_->getGEDCOMStringForExport(exportFlags, albumIndex, path.string());
    setStep("Final preparations for GEDCOM export", true);
    checkCanceled();
    prepareForExport(text, path, exportFlags);
    checkCanceled();
    EncodeResult data = encodeTaking(std::move(text), encoderFor(encoding));
    checkCanceled();
    writeAtomically(path, data.bytes);
    lostInExport_ = data.lostCount;
    int32_t running = Running;
    readWriteStatus_.compare_exchange_strong(running, Done);
}

void GEDCOMDocument::prepareForExport(std::string& text, const fs::path& exportPath, uint32_t flags) {
    checkCanceled();
    const std::string le = GEDCOMModel::lineEnding();
    auto running = [this] { return readWriteStatus_ == Running || readWriteStatus_ == Done; };
    GEDCOMModel& model = *gedcomModel_;
    auto objectWithID = [&model](const std::string& recordID) {
        return std::dynamic_pointer_cast<OBJERecord>(model.recordWithID(recordID, "OBJE"));
    };

    if (flags & kOmitLogs) GEDCOMTextScan::removeCustomLinkTags("_LOG", text, nullptr);

    if (flags & (kEmbedMultimedia | kEmbedMultimedia55)) {
        std::unordered_set<std::string> embedded;
        {
            Rewrite rewrite(text);
            for (std::size_t p = 0, m; running() && (m = GEDCOMTextScan::find(text, " OBJE ", p)) != std::string::npos;) {
                const Line line = GEDCOMTextScan::lineAround(text, m);
                int level = 0;
                auto value = GEDCOMTextScan::decodeLine(text, line, "OBJE", &level);
                auto object = value ? objectWithID(*value) : nullptr;
                if (!object) {
                    p = m + 6;
                    continue;
                }
                rewrite.replace(line.start, line.end, object->embeddedGedcomString(level, flags));
                embedded.insert(*value);
                p = line.end;
            }
            rewrite.finishInto(text);
        }
        // Style sheets that notes name in "<!--CSS ... -->" comments go to
        // the end of the submitter record, else before the record after
        // the comment.
        std::size_t insertion = std::string::npos;
        std::size_t searchFrom = 0;
        if (std::size_t submitter = text.find("@ SUBM" + le); submitter != std::string::npos) {
            searchFrom = submitter + 6 + le.size();
            if (std::size_t next = GEDCOMTextScan::find(text, le + "0 ", searchFrom); next != std::string::npos)
                insertion = next + le.size();
        }
        std::vector<std::pair<std::size_t, std::string>> inserts;
        for (std::size_t p = searchFrom, m; running() && (m = GEDCOMTextScan::findCaseless(text, "<!--CSS", p)) != std::string::npos;) {
            const std::size_t close = text.find("-->", m + 7);
            if (close == std::string::npos) break;
            const std::string recordID = wex::nonWhiteString(std::string_view(text).substr(m + 7, close - m - 7));
            p = close + 3;
            auto object = recordID.empty() || embedded.contains(recordID) ? nullptr : objectWithID(recordID);
            if (!object) continue;
            std::size_t at = insertion;
            if (at == std::string::npos)
                if (std::size_t next = GEDCOMTextScan::find(text, le + "0 ", close); next != std::string::npos) at = next + le.size();
            if (at == std::string::npos) continue;
            inserts.emplace_back(at, object->embeddedGedcomString(1, flags));
            embedded.insert(recordID);
        }
        std::stable_sort(inserts.begin(), inserts.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        Rewrite rewrite(text);
        for (const auto& [at, lines] : inserts) rewrite.insert(at, lines);
        rewrite.finishInto(text);
    }

    {
        const std::vector<std::string> roots = multimediaRoot_;
        Rewrite rewrite(text);
        for (std::size_t p = 0, m; running() && (m = GEDCOMTextScan::find(text, " FILE ", p)) != std::string::npos;) {
            const Line line = GEDCOMTextScan::lineAround(text, m);
            int level = 0;
            auto value = GEDCOMTextScan::decodeLine(text, line, "FILE", &level);
            if (!value) {
                p = m + 6;
                continue;
            }
            std::string written = *value;
            if (auto found = OBJERecord::multimediaFile(written, roots, fileName_))
                written = OBJERecord::exportMultimediaFile(found->fullPath(), exportPath.string());
            rewrite.replace(line.start, line.end, std::to_string(level) + " FILE " + written + le);
            p = line.end;
        }
        rewrite.finishInto(text);
    }

    if (flags & kOmitPlaces) {
        const std::string needle = le + "2 PLAC ";
        std::unordered_map<std::string, std::optional<std::string>> placeLines;
        Rewrite rewrite(text);
        for (std::size_t p = 0, m; running() && (m = GEDCOMTextScan::find(text, needle, p)) != std::string::npos;) {
            const Line line = GEDCOMTextScan::lineAround(text, m + le.size());
            p = line.end;
            int level = 0;
            auto value = GEDCOMTextScan::decodeLine(text, line, "PLAC", &level);
            if (!value) continue;
            auto cached = placeLines.find(*value);
            if (cached == placeLines.end()) {
                auto place = std::dynamic_pointer_cast<PlaceRecord>(model.placeForName(*value));
                cached = placeLines.emplace(*value, place ? place->embedGedcom(flags) : std::nullopt).first;
            }
            if (cached->second) rewrite.replace(line.start, line.end, "2 PLAC " + *value + *cached->second + le);
        }
        rewrite.finishInto(text);
    }

    if (flags & kEmbedMultimedia55) {
        // GEDCOM 5.5 has no description on EVEN: it goes into the TYPE.
        const std::string needle = le + "1 EVEN";
        Rewrite rewrite(text);
        for (std::size_t p = 0, m; running() && (m = GEDCOMTextScan::find(text, needle, p)) != std::string::npos;) {
            const Line line = GEDCOMTextScan::lineAround(text, m + le.size());
            int level = 0;
            auto value = GEDCOMTextScan::decodeLine(text, line, "EVEN", &level);
            if (!value || value->empty()) {
                p = line.end;
                continue;
            }
            std::size_t end = line.end;
            while (end < text.size() && text[end] != '0' && text[end] != '1')
                end = GEDCOMTextScan::lineAround(text, end).end;
            rewrite.replace(line.start, line.end, "1 EVEN" + text.substr(line.contentsEnd, line.end - line.contentsEnd));
            // Only a TYPE before the event's end counts: the search stops
            // there instead of running on through the rest of the file.
            const std::string_view upToEnd =
                std::string_view(text).substr(0, std::min(text.size(), end + le.size() + 5));
            const std::size_t type = GEDCOMTextScan::find(upToEnd, le + "2 TYPE", line.contentsEnd);
            if (type == std::string::npos || type >= end) {
                rewrite.insert(line.end, "2 TYPE " + *value + le);
            } else {
                const std::size_t after = type + le.size() + 6;
                const char next = after < text.size() ? text[after] : '\n';
                if (next == '\r' || next == '\n')
                    rewrite.insert(after, " " + *value);
                else if (next == ' ')
                    rewrite.insert(after, " " + *value + ",");
                else
                    rewrite.insert(after, " " + *value + ", ");
            }
            p = std::max(end, line.end + 1) - le.size();
        }
        rewrite.finishInto(text);
    }
}

}  // namespace kl
