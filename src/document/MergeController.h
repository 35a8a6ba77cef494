#pragma once
// MergeController: copies the records of another open database (all of them
// or one album) or of a GEDCOM text into a document. The records become new
// records of the destination: an ID already taken there is replaced by a
// fresh one and every link to it follows. Optionally each merged record
// links to a new note saying where it came from, and all of them join a new
// album, so one "Merge Records" undo takes the whole merge back.
//
// Three stages run one after another, each on its own thread, while the
// main thread waits behind the destination's progress panel: collect (the
// source's GEDCOM text), decode (into a temporary store of our own, tidied
// as a merge store), add (fresh IDs and paths on the worker; installs,
// album and link rewriting handed to the main thread in batches, so undo
// registration and the store's notifications stay on the GUI thread).
//
// Ownership: made and released by the document operation that runs one
// merge; owns the temporary store, whose document it is. Borrows both
// documents. Thread: mergeGEDCOMString on the main thread; the stages on
// their workers; the KLProgress answers on the main thread.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "document/KLProgress.h"
#include "document/ModelDocument.h"
#include "model/HREFLinks.h"

namespace kl {

class GEDCOMDocument;
class GEDCOMModel;
class GEDCOMRecord;
class RecordsList;

// What the merge asks of the index windows; each hook may be empty.
struct MergeWindows {
    // The destination window's album for the merged records; without the
    // hook the album is made in the store alone.
    std::function<std::shared_ptr<RecordsList>(const std::optional<std::string>& name)> createAlbumNamed;
    // View updates of both documents' index windows, off while records pour in.
    std::function<void(bool on)> setViewUpdates;
    // The source as its window names it; the file's name without one.
    std::optional<std::string> sourceDisplayName;
};

// The merge sheet's answer.
struct MergeAnswer {
    GEDCOMDocument* sourceDoc = nullptr;
    long albumIndex = 0;                  // 0 all records, else the source's album counted from 1
    std::optional<std::string> linkText;  // present only when the merged records link to a note
    std::string createAlbumName;
};

class MergeController : public ModelDocument, public KLProgress {
public:
    enum Status : int32_t { Running = 0, Failed = 1, Done = 2, Cancelled = 3 };
    enum Step : int32_t { Collecting = 0, Decoding = 1, Adjusting = 2, Adding = 3 };
    // Records installed per hand-off to the main thread.
    static constexpr std::size_t kInstallBatch = 256;

    MergeController();
    ~MergeController() override;
    MergeController(const MergeController&) = delete;
    MergeController& operator=(const MergeController&) = delete;

    // Runs the three stages and waits for them; true when records were
    // added. A given text skips the collect stage. A failure other than a
    // cancel is told to the user with its message, and answers false.
    bool mergeGEDCOMString(std::optional<std::string> text, GEDCOMDocument& destDoc, GEDCOMDocument* sourceDoc,
                           long albumIndex, const std::optional<std::string>& linkText,
                           const std::optional<std::string>& copyAlbum, const MergeWindows& windows = {});

    GEDCOMModel& gedcomModel() { return *gedcomModel_; }
    int32_t readWriteStatus() override { return readWriteStatus_.load(); }
    void setReadWriteStatus(int32_t status) { readWriteStatus_ = status; }
    int32_t mergeStep() const { return mergeStep_.load(); }
    int32_t numberMerged() const { return numberMerged_.load(); }
    int32_t totalToMerge() const { return totalToMerge_.load(); }
    const std::shared_ptr<RecordsList>& copyToAlbum() const { return copyToAlbum_; }
    // The failure that ended the last stage, empty when none did.
    std::string failure() const;
    // Told once a stage's worker has started; tests cancel from here.
    void setStageStarted(std::function<void(MergeController&, int32_t step)> hook) { stageStarted_ = std::move(hook); }

    // ---- the temporary store's document answers
    UndoManager* undoManager() override { return nullptr; }
    std::vector<std::string> multimediaRoot() const override;
    std::optional<std::filesystem::path> fileURL() const override;
    // Raises "KLFileCancel" ("cancel") once the merge was cancelled.
    void checkCanceled() const;
    void parceGEDCOMStep() override {}

    // ---- KLProgress
    bool stillRunning() override { return readWriteStatus_ == Running; }
    void progressDidLoad() override;
    double fractionDone() override;
    std::optional<std::string> updateStatusField() override;
    void cancelAction() override;
    // What the panel shows for the current step.
    std::string stepText() const override;
    std::string countLabel() const;
    bool indeterminate() const { return mergeStep_ == Adjusting; }
    // The add stage cannot be stopped once it runs.
    bool cancellable() const { return mergeStep_ != Adding; }

    // ---- the stages, each the body of its thread
    void getMergeGEDCOMThread(GEDCOMDocument& sourceDoc, long albumIndex);
    void decodeMergeGEDCOMThread();
    void addMergeRecordsThread(GEDCOMDocument& destDoc, GEDCOMDocument* sourceDoc,
                               const std::optional<std::string>& linkText);

private:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    // Starts a stage's thread with the status at Running.
    void startStage(std::function<void()> body);
    // Waits for the stage: the rest of the first second, then the panel.
    void waitForStage(GEDCOMDocument& destDoc, const std::string& title, const std::string& label);
    void endStage();
    // Runs a stage's body: a cancel becomes Cancelled, any other failure
    // Failed with its message; success Done. A cancel asked for while the
    // stage ran wins over its success.
    void runStage(const std::function<void()>& body);
    void finishStage(int32_t status);
    // Gives the records their new IDs and rewrites every link among them.
    void renumberRecords(const std::vector<RecordPtr>& records, const HREFIDMap& renumbered);
    void installBatch(GEDCOMModel& dest, std::vector<RecordPtr>& batch, const RecordPtr& note);

    std::unique_ptr<GEDCOMModel> gedcomModel_;
    std::atomic<int32_t> readWriteStatus_{Done};
    std::atomic<int32_t> mergeStep_{Collecting};
    std::atomic<int32_t> numberMerged_{0};
    std::atomic<int32_t> totalToMerge_{1};
    std::string gedcom_;
    std::shared_ptr<RecordsList> copyToAlbum_;
    GEDCOMDocument* tmpSourceDoc_ = nullptr;
    std::thread stage_;
    std::chrono::steady_clock::time_point started_;
    bool panelShown_ = false;
    mutable std::mutex failureMutex_;
    std::string failure_;
    std::function<void(MergeController&, int32_t)> stageStarted_;
};

}  // namespace kl
