// Opening a database: character-set detection on the main thread, then the
// read worker (package or plain file), the adjustments after reading, and
// the wait behind the progress panel.
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "document/CharacterSetQuestion.h"
#include "document/CharsetDetection.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/PackageFolder.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "foundation/PropertyList.h"
#include "foundation/ResourceFolder.h"
#include "model/HEADRecord.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kAttributesCorrupted = "The file attributes dictionary is corrupted.";
constexpr const char* kReadCancelled = "File read cancelled";

bool fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

// Registration stays off for the length of a scope, also when it throws.
class UndoOff {
public:
    explicit UndoOff(UndoManager& undo) : undo_(undo) { undo_.disableUndoRegistration(); }
    ~UndoOff() { undo_.enableUndoRegistration(); }
    UndoOff(const UndoOff&) = delete;
    UndoOff& operator=(const UndoOff&) = delete;

private:
    UndoManager& undo_;
};

// The set a file's bytes point to, for the question to start on: the whole
// file, as the reader would decode it (asked only for unknown set names).
uint32_t suggestedEncoding(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return CharsetDetection::suggestedEncoding(bytes);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

// ---- the main thread's side

bool GEDCOMDocument::readFromURL(const fs::path& path, const std::string& type, std::string* error) {
    setReadWriteMessage(std::nullopt);
    readWriteStatus_ = Running;
    road_ = Road::Reading;
    thumbnailStep_ = false;
    endedEarly_ = false;
    if (!selectCharacterSet(path, type, error)) {
        readWriteStatus_ = Failed;
        return false;
    }
    const auto start = std::chrono::steady_clock::now();
    gedcomModel_->willReadWriteFile(1);
    std::thread worker([this, path, type] { runWorker([&] { readFileThread(path, type); }); });
    Logger::log("Start reading file {} at {}", path.filename().string(), Logger::timestamp());
    waitForWorker("Reading File '" + path.filename().string() + "'", "Records Read", 1.0 / 3.0);
    worker.join();
    Logger::log("...done reading in {} seconds, status {}", secondsSince(start), readWriteStatus_.load());
    switch (readWriteStatus_.load()) {
    case Done:
        // A package that ends early keeps no file: the next save asks
        // where to put the database rather than writing over what is left.
        if (endedEarly_)
            updateChangeCount(Change::Done);
        else
            fileName_ = path;
        fileType_ = type;
        ui().doneReading(*this);
        if (const auto& alert = gedcomModel_->readAlert()) {
            ui().showReadAlert(*alert);
            gedcomModel_->setReadAlert(std::nullopt);
        }
        return true;
    case Failed: return fail(error, readWriteMessage().value_or(""));
    default: return fail(error, kReadCancelled);
    }
}

void GEDCOMDocument::waitForWorker(const std::string& title, const std::string& label, double interval) {
    if (ui().pauseIn(*this, 1.0)) ui().runProgress(*this, title, label, interval);
}

// Every failure of a worker ends with a status: a named one as the road
// says, anything unexpected as a failure with its text, so the wait
// behind the progress panel always ends, and ends as soon as the status
// is final.
void GEDCOMDocument::runWorker(const std::function<void()>& body) {
    struct TellEnd {
        EndSignal& signal;
        ~TellEnd() { signal.notify(); }
    } tellEnd{workerEnded_};
    try {
        body();
        return;
    } catch (const NamedException& e) {
        if (e.name() == exception_names::FileCancel || readWriteStatus_ == Cancelled) {
            readWriteStatus_ = Cancelled;
            return;
        }
        setReadWriteMessage(e.message());
    } catch (const std::exception& e) {
        setReadWriteMessage(std::string("Unexpected error: ") + e.what());
    } catch (...) {
        setReadWriteMessage("Unexpected error");
    }
    int32_t running = Running;
    if (!readWriteStatus_.compare_exchange_strong(running, Failed) && readWriteStatus_ != Cancelled)
        readWriteStatus_ = Failed;
}

bool GEDCOMDocument::selectCharacterSet(const fs::path& path, const std::string& type, std::string* error) {
    if (type == kPackageType) return true;
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(error, "Error creating a handle to read the file.");
    std::string sample(CharsetDetection::kSampleSize, '\0');
    in.read(sample.data(), static_cast<std::streamsize>(sample.size()));
    sample.resize(static_cast<size_t>(in.gcount()));
    if (sample.empty()) return fail(error, "The file's GEDCOM data could not be read.");
    CharsetGuess guess = CharsetDetection::detect(sample);
    if (guess.outcome == CharsetGuess::Outcome::NotGEDCOM)
        return fail(error, "The file does not appear to be a GEDCOM file.");
    if (guess.outcome == CharsetGuess::Outcome::Ask) {
        std::optional<CharacterSetChoice> choice;
        if (charsetQuestion_) choice = charsetQuestion_->getCharacterSet(guess.guess, suggestedEncoding(path));
        if (!choice || choice->encoding == 0)
            return fail(error, "The character set could not be determined and the user cancelled selection of one.");
        guess.encoding = choice->encoding;
        guess.name = choice->name;
    }
    gedcomModel_->setImpEncoding(static_cast<int32_t>(guess.encoding));
    gedcomModel_->setImpCharSet(guess.name);
    return true;
}

// ---- the read worker

void GEDCOMDocument::readFileThread(const fs::path& path, const std::string& type) {
    bool imported = false;
    if (type == kPackageType)
        readPackage(path);
    else if (type == kGEDCOMType) {
        readImport(path);
        imported = true;
    } else
        raise(exception_names::FileReadError, "The file has unrecognized file type.");
    if (readWriteStatus_ != Running) return;
    adjustAfterReading(imported, imported ? 1 : 2);
}

bool GEDCOMDocument::readPackage(const fs::path& path) {
    std::error_code missing;
    if (!fs::exists(path, missing))
        raise(exception_names::FileReadError, "The database package '" + path.string() + "' was not found.");
    if (!fs::is_directory(path, missing))
        raise(exception_names::FileReadError, "'" + path.string() + "' is not a Kinlore II database package.");
    if (!fs::exists(path / "attributes.plist", missing))
        raise(exception_names::FileReadError, "The database package has no file attributes list.");
    std::string why;
    auto attributes = PropertyList::readDictionaryFile(path / "attributes.plist", &why);
    if (!attributes) raise(exception_names::FileReadError, std::string(kAttributesCorrupted) + " " + why);
    PackageFolder::removeLeftovers(path);
    UndoOff off(undo_);
    readPackageAttributes(*attributes);
    if (auto settings = PropertyList::readDictionaryFile(path / "settings.plist")) readPackageSettings(*settings);
    const std::string name = PackageFolder::gedcomFileName(path, &*attributes);
    setSourceGEDCOM(name);
    gedcomModel_->setGedcomFromFile((path / name).string());
    // Every save ends the file with its trailer: without it, records after
    // the last one read may have been lost, and saving over the package
    // would make the loss permanent.
    if (auto last = gedcomModel_->recordBeforeMissingTrailer()) {
        setReadWriteMessage("The database's GEDCOM file ends early: records after '" + *last +
                            "' may be missing.");
        endedEarly_ = true;
    }
    if (!gedcomModel_->decodeWarning().empty()) appendReadWriteMessage(gedcomModel_->decodeWarning());
    thumbnailStep_ = true;
    setStep("Reading Multimedia Thumbnails", true);
    imageThumbs_.readThumbnailsFrom(path / "thumbs");
    thumbnailStep_ = false;
    return true;
}

void GEDCOMDocument::readImport(const fs::path& path) {
    UndoOff off(undo_);
    setImportedAttributes(path);
    gedcomModel_->setGedcomFromImportFile(path.string());
    if (auto header = std::dynamic_pointer_cast<HEADRecord>(gedcomModel_->header()))
        header->setCharacters(GEDCOMModel::kDefaultEncoding);
    if (!gedcomModel_->decodeWarning().empty()) appendReadWriteMessage(gedcomModel_->decodeWarning());
}

void GEDCOMDocument::adjustAfterReading(bool imported, int simplifyMode) {
    setStep("Adjusting GEDCOM Data", false);
    UndoOff off(undo_);
    GEDCOMModel& model = *gedcomModel_;
    if (imported) {
        checkCanceled();
        if (!model.recordsIndex().listForType("SUBM")) {
            appendReadWriteMessage("added Submitter");
            model.createNewRecordOfType("SUBM");
        }
        checkCanceled();
        if (!model.header()) {
            appendReadWriteMessage("added Header");
            model.createNewRecordOfType("HEAD");
            // The text is held as UTF-8 from now on, whatever header the
            // new-record text gave.
            if (auto header = std::dynamic_pointer_cast<HEADRecord>(model.header()))
                header->setCharacters(GEDCOMModel::kDefaultEncoding);
        }
        if (auto header = std::dynamic_pointer_cast<HEADRecord>(model.header()))
            if (auto note = header->verifyLinksWithIndex(model)) appendReadWriteMessage(*note);
    } else if (auto header = std::dynamic_pointer_cast<HEADRecord>(model.header())) {
        header->checkGEDCOMVersion();
    }
    checkCanceled();
    model.setInsertedSomeUUIDs(false);
    model.runSimplifyGEDCOM(simplifyMode);
    checkCanceled();
    if (model.insertedSomeUUIDs())
        appendReadWriteMessage("inserted UUIDs as needed (disable this in preferences if not wanted)");
    if (imported || model.insertedSomeUUIDs()) updateChangeCount(Change::Done);
    int32_t running = Running;
    readWriteStatus_.compare_exchange_strong(running, Done);
}

// ---- new and imported documents

void GEDCOMDocument::readNewFileData() {
    UndoOff off(undo_);
    setImportedAttributes(std::nullopt);
    auto resource = ResourceFolder::pathForResource("NewGEDCOMData", "txt");
    gedcomModel_->setGedcomFromFile(resource ? std::optional<std::string>(resource->string()) : std::nullopt);
    gedcomModel_->recordsIndex().simplifyGEDCOM(3);
    readWriteStatus_ = Done;
}

std::optional<std::string> GEDCOMDocument::importFileName() {
    if (fileType_ == kPackageType) return std::nullopt;
    fileType_ = kPackageType;
    std::string title = "Untitled (from " + (fileName_ ? fileName_->stem().string() : std::string()) + ")";
    fileName_.reset();
    importedName_ = title;
    return title;
}

}  // namespace kl
