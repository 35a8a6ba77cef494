#pragma once
// GEDCOMDocument: one open database without its windows. It owns the record
// store and everything a package keeps beside the records (multimedia root
// folders, thumbnails, album column styles, print settings, the selected
// album), reads a package or a plain GEDCOM file on a worker thread, and
// saves a package on a worker thread, replacing the old package only once
// the new one is complete.
//
// Ownership: owns its model, undo manager, thumbnails and autosave timer;
// the character-set question and the UI are borrowed and must outlive it.
// Thread: main thread. A read or a save runs its worker while the main
// thread waits in readFromURL/writeToURL; the worker changes the model
// directly, and only the status (an atomic) is written by both sides.
#include <atomic>
#include <functional>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "document/GEDCOMModel.h"
#include "document/GedpkgThumbnails.h"
#include "document/KLProgress.h"
#include "document/MergeController.h"
#include "document/ModelDocument.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "foundation/Value.h"

namespace kl {

class AutosaveTimer;
class ByteSink;
class CharacterSetQuestion;
class DocumentUI;
class IndexStyle;
class INDIRecord;

class GEDCOMDocument : public ModelDocument, public KLProgress {
public:
    static constexpr const char* kPackageType = "WEXKinloreFile";
    static constexpr const char* kGEDCOMType = "WEXGEDCOMFile";
    static constexpr const char* kClassName = "GEDCOMDocument";
    static constexpr const char* kRootsWillBeRemoved = "Multimedia Root Folder Will be Removed";
    static constexpr const char* kRootsChanged = "Multimedia Root Folders Changed";
    static constexpr const char* kResetAutoSaveTimers = "ResetAutoSaveTimers";
    static constexpr int32_t kNeverAutosave = 61;

    enum Status : int32_t { Running = 0, Failed = 1, Done = 2, Cancelled = 3 };
    static_assert(Cancelled == kStatusCancelled);
    enum class Road : int32_t { Reading = 0, Saving = 1, Exporting = 2 };
    // As a desktop document counts: a change done or redone moves the count
    // up, an undone one down; Cleared marks the current state as the saved
    // one.
    enum class Change { Done, Undone, Redone, Cleared };

    // A document made to open a file.
    GEDCOMDocument();
    // A new untitled database, read from the "NewGEDCOMData" resource.
    static std::unique_ptr<GEDCOMDocument> makeUntitled();
    ~GEDCOMDocument() override;
    GEDCOMDocument(const GEDCOMDocument&) = delete;
    GEDCOMDocument& operator=(const GEDCOMDocument&) = delete;

    // ---- collaborators
    void setCharacterSetQuestion(CharacterSetQuestion* question) { charsetQuestion_ = question; }
    void setUI(DocumentUI* ui) { ui_ = ui; }
    DocumentUI& ui() const;
    void setAutosaveTimer(std::unique_ptr<AutosaveTimer> timer);
    AutosaveTimer* autosaveTimer() const { return autoSaveTimer_.get(); }
    // Where the package's GEDCOM text goes; tests hand in sinks that fail.
    using SinkFactory = std::function<std::unique_ptr<ByteSink>(const std::filesystem::path&)>;
    void setSinkFactory(SinkFactory factory) { sinkFactory_ = std::move(factory); }
    // Flushes a written file or folder to the disk (false: it could not);
    // tests hand in one that notes the order or fails.
    using PathSync = std::function<bool(const std::filesystem::path&)>;
    void setPathSync(PathSync sync) { pathSync_ = std::move(sync); }

    // ---- accessors
    GEDCOMModel& gedcomModel() { return *gedcomModel_; }
    const GEDCOMModel& gedcomModel() const { return *gedcomModel_; }
    UndoManager* undoManager() override { return &undo_; }
    UndoManager& undo() { return undo_; }
    int32_t version() const { return version_; }
    int readWriteStatus() override { return readWriteStatus_.load(); }
    void setReadWriteStatus(int32_t status) { readWriteStatus_ = status; }
    std::optional<std::string> readWriteMessage() const;
    void setReadWriteMessage(std::optional<std::string> message);
    // "Changes: a" then "Changes: a, b".
    void appendReadWriteMessage(const std::string& item);
    const std::optional<std::string>& firstSelectedAlbum() const { return firstSelectedAlbum_; }
    void setFirstSelectedAlbum(std::optional<std::string> album) { firstSelectedAlbum_ = std::move(album); }
    const std::string& sourceGEDCOM() const { return sourceGEDCOM_; }
    void setSourceGEDCOM(std::string name) { sourceGEDCOM_ = std::move(name); }
    bool saveThumbnailsInFile() const { return saveThumbnailsInFile_; }
    void setSaveThumbnailsInFile(bool save) { saveThumbnailsInFile_ = save; }
    bool createWithInitOnly() const { return createWithInitOnly_; }
    Dictionary& lastAttached() { return lastAttached_; }
    bool saving() const { return saving_; }
    void setSaving(bool saving) { saving_ = saving; }
    // Set while a print job of one of the document's windows runs, so a
    // script can wait for it.
    bool printingStatusFlag() const { return printing_; }
    void setPrintingStatusFlag(bool printing) { printing_ = printing; }

    // ---- file and change count
    const std::optional<std::filesystem::path>& myFileName() const { return fileName_; }
    void setMyFileName(std::optional<std::filesystem::path> path) { fileName_ = std::move(path); }
    const std::string& fileType() const { return fileType_; }
    void setFileType(std::string type) { fileType_ = std::move(type); }
    // Edited while the count differs from the saved state's, and for good
    // once a fresh change has dropped the saved state from the redo history.
    // The undo manager's changes come here; the window is told (DocumentUI::
    // changeCountChanged) when the count moves on the document's own thread,
    // and picks up a worker's change (a read's) when it is made.
    bool isDocumentEdited() const { return !savedChangeCount_ || changeCount_ != *savedChangeCount_; }
    void updateChangeCount(Change change);
    long changeCount() const { return changeCount_; }

    // ---- print settings, kept as our own dictionaries
    const Dictionary& printInfo() const { return printInfo_; }
    void setPrintInfo(Dictionary info) { printInfo_ = std::move(info); }
    const Dictionary& browserInfo() const { return browserInfo_; }
    void setBrowserInfo(Dictionary info) { browserInfo_ = std::move(info); }
    const Dictionary& chartInfo() const { return chartInfo_; }
    void setChartInfo(Dictionary info) { chartInfo_ = std::move(info); }
    // 72-point margins all round.
    static Dictionary defaultPrintInfo();

    // ---- multimedia root folders
    std::vector<std::string> multimediaRoot() const override { return multimediaRoot_; }
    // No undo; used while reading.
    void setMultimediaRoot(std::vector<std::string> roots) override { multimediaRoot_ = std::move(roots); }
    // An index below 0 or past the end appends.
    void addMultimediaRoot(const std::string& path, int32_t index);
    void removeMultimediaRootAtIndex(int32_t index);
    void changeMultimediaRoot(const std::string& path, int32_t index);
    void replaceAllRootFolders(std::vector<std::string> roots);
    std::optional<std::filesystem::path> fileURL() const override { return fileName_; }
    // The full path of a multimedia file name as a record stores it, looked
    // for in the root folders and then beside the document; nullopt when
    // it is found nowhere.
    std::optional<std::string> multimediaFilePath(const std::string& stored) const;

    // ---- album column styles
    std::shared_ptr<IndexStyle> albumStyle(const std::string& albumKey);
    void removeAlbumStyle(const std::string& albumKey) { albumColumns_.erase(albumKey); }
    bool hasAlbumStyle(const std::string& albumKey) const { return albumColumns_.count(albumKey) != 0; }

    // ---- thumbnails (JPEG bytes by record ID)
    GedpkgThumbnails& imageThumbs() { return imageThumbs_; }
    std::optional<std::string> getThumbnail(const std::string& recordID) override;
    void setThumbnail(std::string jpegBytes, const std::string& recordID) override;
    void removeThumbnail(const std::string& recordID) override;
    std::size_t thumbnailCount() const { return imageThumbs_.count(); }

    // ---- package attributes
    Dictionary dictionaryOfAttributes(const std::optional<std::string>& gedcomFileName) const;
    Dictionary dictionaryOfSettings(const std::optional<std::string>& selectedType) const;
    // What an export embeds in its header.
    std::optional<Dictionary> dictionaryOfAttributes() override { return dictionaryOfAttributes(std::nullopt); }
    std::optional<Dictionary> dictionaryOfSettings(const std::string& type) override {
        return dictionaryOfSettings(std::optional<std::string>(type));
    }
    void readPackageAttributes(const Dictionary& attributes) override;
    void readPackageSettings(const Dictionary& settings) override;
    // For an imported file (its path) or a new database (nullopt).
    void setImportedAttributes(const std::optional<std::filesystem::path>& importedFile);
    void readPrintInfo(const Dictionary* attributes);
    // The folder of a file as a root: "~" for the home folder, ending in "/".
    static std::string rootFolderFor(const std::filesystem::path& file);

    // ---- reading
    // Blocks until the read worker has finished; false with `error` set when
    // the document could not be read.
    bool readFromURL(const std::filesystem::path& path, const std::string& type, std::string* error = nullptr);
    bool selectCharacterSet(const std::filesystem::path& path, const std::string& type, std::string* error);
    void readNewFileData();
    // For a document read from a plain file: becomes an untitled package
    // document and answers "Untitled (from <name>)"; nullopt for a package.
    std::optional<std::string> importFileName();
    // What importFileName() answered, kept for the windows that open after
    // the import turned the document into a package.
    const std::optional<std::string>& importedName() const { return importedName_; }
    // The new-file sheet's settings ([name, sex, born, died] of two people,
    // then "family" to link them): the first individuals, and their family
    // when asked and either has a sex, with the individuals' list first in
    // the index and the families' second. Undoable as one action; answers
    // whether anyone was made.
    bool makeFirstRecords(const Array& settings);
    // The person at `at` (0 or 4) of such settings, also asked for by the
    // chart's new-family sheet; nullptr without a name (`sex` is -1 then).
    std::shared_ptr<INDIRecord> makeFirstIndividual(const Array& settings, std::size_t at, int& sex);
    // Raises "KLFileCancel" once the read or save was cancelled.
    void checkCanceled() const;
    void parceGEDCOMStep() override;

    // ---- KLProgress
    void progressDidLoad() override;
    double fractionDone() override { return gedcomModel_->fractionDone(); }
    std::optional<std::string> updateStatusField() override;
    bool stillRunning() override { return readWriteStatus_ == Running; }
    void cancelAction() override;
    EndSignal* endSignal() override { return &workerEnded_; }
    // What the progress panel shows now (step text, indeterminate bar).
    std::string stepText() const override;
    bool indeterminate() const { return indeterminate_.load(); }
    static Road currentRoad() { return road_.load(); }
    static bool thumbnailStep() { return thumbnailStep_.load(); }

    // ---- saving
    // Writes a package at `path`; `originalContents` is the package being
    // replaced (its version-control folders are carried over). Blocks until
    // the save worker has finished. The undo history is cleared only after
    // a successful save.
    bool writeToURL(const std::filesystem::path& path, const std::string& type,
                    const std::optional<std::filesystem::path>& originalContents, std::string* error = nullptr);
    // Saves to `path` and makes it the document's file.
    bool saveToURL(const std::filesystem::path& path, std::string* error = nullptr);
    // The script command's save: "no" saves nothing, "" saves an edited
    // document in place, any other text is a package path.
    bool saveAndCloseDocument(const std::string& location, std::string* error = nullptr);

    // ---- exporting to a plain GEDCOM file (GEDCOMDocument+Export.cpp)
    // Writes the records chosen in ExportOptions to `path` on a worker, in
    // the chosen character set and line ending, behind the progress panel;
    // tells the user of failures and of characters the set could not hold.
    // Answers whether the file was written.
    bool exportFinally(const std::filesystem::path& path);
    // The rewriting of the written text before it is encoded: links to
    // left-out logs, multimedia and places folded into the records that use
    // them, file paths made relative to the export, GEDCOM 5.5 events.
    void prepareForExport(std::string& text, const std::filesystem::path& exportPath, uint32_t flags);
    // How many characters the last export replaced.
    std::size_t lostInLastExport() const { return lostInExport_; }

    // ---- autosave
    void startAutoSaveTimer();
    void stopAutoSaveTimer();
    void doAutoSave();

    // ---- merging another database (GEDCOMDocument+Merging.cpp)
    static constexpr const char* kMergeActionName = "Merge Records";
    // The merge sheet's end: nothing without an answer, else the answer's
    // source, album, note text and album name. Answers whether records
    // were added (one undo step "Merge Records").
    bool mergeRecords(const std::optional<MergeAnswer>& info, const MergeWindows& windows = {});
    // Records dragged from another document, as GEDCOM text: no note, into
    // an album "Imported <date> <time>".
    bool mergeGEDCOMString(std::string text, GEDCOMDocument* sourceDoc, const MergeWindows& windows = {});

private:
    bool runMerge(std::optional<std::string> text, GEDCOMDocument* sourceDoc, long albumIndex,
                  const std::optional<std::string>& linkText, const std::optional<std::string>& album,
                  const MergeWindows& windows);
    void runWorker(const std::function<void()>& body);
    void waitForWorker(const std::string& title, const std::string& label, double interval);
    void setStep(std::string text, bool indeterminate);
    void readFileThread(const std::filesystem::path& path, const std::string& type);
    bool readPackage(const std::filesystem::path& path);
    void readImport(const std::filesystem::path& path);
    void adjustAfterReading(bool imported, int simplifyMode);
    void writeFileThread(const std::filesystem::path& path, const std::string& selectedType,
                         const std::optional<std::filesystem::path>& previous);
    void writePackageContents(const std::filesystem::path& folder, const std::string& gedcomName,
                              const std::filesystem::path& finalPath, const std::string& selectedType,
                              const std::optional<std::filesystem::path>& previous);
    void writeGEDCOMFile(const std::filesystem::path& file, const std::filesystem::path& finalPath);
    void exportToGEDCOMFileThread(const std::filesystem::path& path, int encoding, uint32_t flags,
                                  const std::string& lineEnding, int albumIndex);
    std::unique_ptr<ByteSink> makeSink(const std::filesystem::path& file) const;
    bool flushToDisk(const std::filesystem::path& path) const;
    void readAttributesColumns(const Dictionary& attributes);
    void addColumnSettings(Dictionary& attributes) const;
    void addPrintSettings(Dictionary& attributes) const;
    void postRootsChanged();
    void postRootWillBeRemoved(const std::string& folder);

    UndoManager undo_;
    std::unique_ptr<GEDCOMModel> gedcomModel_;
    int32_t version_ = 0;
    std::atomic<int32_t> readWriteStatus_{Done};
    EndSignal workerEnded_;
    std::vector<std::string> multimediaRoot_;
    std::map<std::string, std::shared_ptr<IndexStyle>> albumColumns_;
    std::optional<std::string> firstSelectedAlbum_;
    std::string sourceGEDCOM_;
    GedpkgThumbnails imageThumbs_;
    bool saveThumbnailsInFile_ = false;
    bool createWithInitOnly_ = true;
    mutable std::mutex messageMutex_;
    std::optional<std::string> readWriteMessage_;
    Dictionary printInfo_;
    Dictionary browserInfo_;
    Dictionary chartInfo_;
    Dictionary lastAttached_;
    std::unique_ptr<AutosaveTimer> autoSaveTimer_;
    bool saving_ = false;
    bool printing_ = false;

    std::optional<std::filesystem::path> fileName_;
    std::optional<std::string> importedName_;
    std::string fileType_ = kPackageType;
    long changeCount_ = 0;
    std::optional<long> savedChangeCount_{0};  // nullopt: no longer reachable by undo or redo
    std::thread::id ownerThread_ = std::this_thread::get_id();
    CharacterSetQuestion* charsetQuestion_ = nullptr;
    DocumentUI* ui_ = nullptr;
    SinkFactory sinkFactory_;
    PathSync pathSync_;
    bool endedEarly_ = false;  // the package read last had no trailer line
    std::size_t lostInExport_ = 0;
    std::string stepText_;
    std::atomic<bool> indeterminate_{false};
    Observation resetTimersObservation_;

    static std::atomic<Road> road_;
    static std::atomic<bool> thumbnailStep_;
};

}  // namespace kl
