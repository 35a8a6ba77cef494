#include "document/MergeController.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <unordered_map>

#include "dates/DateBridge.h"
#include "document/DocumentNotifications.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/Exception.h"
#include "foundation/MainThread.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"
#include "model/OBJERecord.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr double kFirstWait = 1.0;
constexpr double kPanelInterval = 1.0 / 3.0;

std::optional<std::string> readTextFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(text).str();
}

std::string sourceName(const GEDCOMDocument* source, const MergeWindows& windows) {
    if (windows.sourceDisplayName) return *windows.sourceDisplayName;
    if (source && source->fileURL()) return source->fileURL()->stem().string();
    return "Untitled";
}

// A record the add stage puts into the destination.
bool linksToMergeNote(const GEDCOMRecord& record) {
    return !record.isType("NOTE") && !record.isType("SUBM") && !record.isType("SUBN");
}

// The album of a merge without an index window, in and out with undo and redo.
void removeAlbum(UndoManager& undo, RecordsIndices& index, const std::shared_ptr<RecordsList>& album);

void addAlbum(UndoManager& undo, RecordsIndices& index, const std::shared_ptr<RecordsList>& album) {
    index.addExistingList(album);
    undo.registerUndo(&index, [&undo, &index, album] { removeAlbum(undo, index, album); });
}

void removeAlbum(UndoManager& undo, RecordsIndices& index, const std::shared_ptr<RecordsList>& album) {
    index.removeList(album);
    undo.registerUndo(&index, [&undo, &index, album] { addAlbum(undo, index, album); });
}

}  // namespace

MergeController::MergeController() : gedcomModel_(std::make_unique<GEDCOMModel>(this)) {}

MergeController::~MergeController() {
    if (stage_.joinable()) stage_.join();
}

std::string MergeController::failure() const {
    std::lock_guard lock(failureMutex_);
    return failure_;
}

std::vector<std::string> MergeController::multimediaRoot() const {
    return tmpSourceDoc_ ? tmpSourceDoc_->multimediaRoot() : std::vector<std::string>{};
}

std::optional<fs::path> MergeController::fileURL() const {
    return tmpSourceDoc_ ? tmpSourceDoc_->fileURL() : std::nullopt;
}

void MergeController::checkCanceled() const {
    if (readWriteStatus_ == Cancelled) raise(exception_names::FileCancel, "cancel");
}

// ---- running a merge

bool MergeController::mergeGEDCOMString(std::optional<std::string> text, GEDCOMDocument& destDoc,
                                        GEDCOMDocument* sourceDoc, long albumIndex,
                                        const std::optional<std::string>& linkText,
                                        const std::optional<std::string>& copyAlbum, const MergeWindows& windows) {
    started_ = std::chrono::steady_clock::now();
    panelShown_ = false;
    mergeStep_ = Collecting;
    auto failed = [&] {
        if (readWriteStatus_ == Failed)
            destDoc.ui().exportAlert(destDoc, "The records could not be merged.", failure(), true);
        return false;
    };

    if (text) {
        gedcom_ = std::move(*text);
    } else {
        if (!sourceDoc) return false;
        startStage([this, sourceDoc, albumIndex] { getMergeGEDCOMThread(*sourceDoc, albumIndex); });
        waitForStage(destDoc, "Collecting records from '" + sourceName(sourceDoc, windows) + "'", "Records Collected");
        if (readWriteStatus_ != Done || gedcom_.empty()) return failed();
    }

    tmpSourceDoc_ = sourceDoc;
    startStage([this] { decodeMergeGEDCOMThread(); });
    waitForStage(destDoc, "", "Records Decoded");
    if (readWriteStatus_ != Done) return failed();

    // Everything the add stage does is one undo step, the album with it.
    UndoManager& undo = destDoc.undo();
    undo.beginUndoGrouping();
    if (copyAlbum) {
        if (windows.createAlbumNamed) {
            copyToAlbum_ = windows.createAlbumNamed(copyAlbum);
        } else {
            RecordsIndices& index = destDoc.gedcomModel().recordsIndex();
            const std::string name = copyAlbum->empty() ? std::string("New Album") : *copyAlbum;
            copyToAlbum_ = RecordsList::listWithType(index.uniqueAlbumType(), name, &destDoc.gedcomModel());
            copyToAlbum_->setListType(ListUserAlbum);
            addAlbum(undo, index, copyToAlbum_);
        }
    }
    if (windows.setViewUpdates) windows.setViewUpdates(false);
    startStage([this, &destDoc, sourceDoc, linkText] { addMergeRecordsThread(destDoc, sourceDoc, linkText); });
    waitForStage(destDoc, "", "Records Merged");
    if (windows.setViewUpdates) windows.setViewUpdates(true);
    undo.endUndoGrouping();
    if (readWriteStatus_ != Done) return failed();
    return true;
}

void MergeController::startStage(std::function<void()> body) {
    if (stage_.joinable()) stage_.join();
    readWriteStatus_ = Running;
    stage_ = std::thread([this, body = std::move(body)] { runStage(body); });
}

void MergeController::waitForStage(GEDCOMDocument& destDoc, const std::string& title, const std::string& label) {
    DocumentUI& ui = destDoc.ui();
    if (!panelShown_) {
        const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        ui.pauseIn(*this, std::max(0.0, kFirstWait - spent));
    }
    if (stillRunning()) {
        panelShown_ = true;
        ui.runProgress(*this, title, label, kPanelInterval);
    }
    // The panel's Cancel ends the wait at once; the worker stops at its
    // next check, and nothing of it may outlive the stage.
    endStage();
}

void MergeController::endStage() {
    if (stage_.joinable()) stage_.join();
}

void MergeController::runStage(const std::function<void()>& body) {
    try {
        if (stageStarted_) stageStarted_(*this, mergeStep_);
        body();
        finishStage(Done);
    } catch (const NamedException& e) {
        finishStage(e.name() == exception_names::FileCancel ? Cancelled : Failed);
        if (readWriteStatus_ == Failed) {
            std::lock_guard lock(failureMutex_);
            failure_ = e.message();
        }
    } catch (const std::exception& e) {
        finishStage(Failed);
        std::lock_guard lock(failureMutex_);
        failure_ = e.what();
    }
}

void MergeController::finishStage(int32_t status) {
    int32_t running = Running;
    // A cancel from the panel has already set its status: it stands.
    readWriteStatus_.compare_exchange_strong(running, status);
}

// ---- the stages

void MergeController::getMergeGEDCOMThread(GEDCOMDocument& sourceDoc, long albumIndex) {
    mergeStep_ = Collecting;
    gedcom_.clear();
    if (albumIndex == 0 && !sourceDoc.isDocumentEdited() && sourceDoc.fileURL() && !sourceDoc.sourceGEDCOM().empty()) {
        if (auto text = readTextFile(*sourceDoc.fileURL() / sourceDoc.sourceGEDCOM())) {
            gedcom_ = std::move(*text);
            return;
        }
    }
    GEDCOMModel& source = sourceDoc.gedcomModel();
    ModelDocument* delegate = source.delegate();
    source.setDelegate(this);
    try {
        std::string text = source.getGEDCOMStringForExport(0, albumIndex, "");
        source.setDelegate(delegate);
        checkCanceled();
        gedcom_ = std::move(text);
    } catch (...) {
        source.setDelegate(delegate);
        gedcom_.clear();
        throw;
    }
}

void MergeController::decodeMergeGEDCOMThread() {
    mergeStep_ = Decoding;
    checkCanceled();
    gedcomModel_->setInputGed(std::move(gedcom_));
    gedcom_.clear();
    try {
        gedcomModel_->setRecordsFromStringVerifyIDs(true, false);
    } catch (const NamedException&) {
        // A stopped parser answers as a failed one.
        checkCanceled();
        throw;
    }
    checkCanceled();
    mergeStep_ = Adjusting;
    gedcomModel_->runSimplifyGEDCOM(4);
    checkCanceled();
}

void MergeController::addMergeRecordsThread(GEDCOMDocument& destDoc, GEDCOMDocument* sourceDoc,
                                            const std::optional<std::string>& linkText) {
    mergeStep_ = Adding;
    GEDCOMModel& dest = destDoc.gedcomModel();
    Dispatcher& main = Dispatcher::current();

    RecordPtr note;
    if (linkText) {
        const std::string text = linkText->empty() ? "Merged " + todayDateString() : *linkText;
        main.postAndWait([&] {
            note = dest.createNoteWhenMergingFrom(*gedcomModel_);
            note->insertNewUserText(text);
        });
    }

    RecordsIndices& temporary = gedcomModel_->recordsIndex();
    // A snapshot: renumbering re-files records under their new IDs.
    const auto byID = temporary.collectIDs();
    std::vector<RecordPtr> records;
    records.reserve(byID.size());
    for (const auto& entry : byID) records.push_back(entry.second);
    totalToMerge_ = static_cast<int32_t>(std::max<std::size_t>(records.size(), 1));

    // Fresh IDs first, while every link still points into the temporary
    // store, so that renumbering rewrites them there and nowhere else.
    HREFIDMap renumbered;
    HREFIDSet freshIDs;
    const bool destHasSubmission = dest.recordsIndex().submission() != nullptr;
    for (const RecordPtr& record : records) {
        const std::string& oldID = record->grecordID();
        if (!dest.recordWithID(oldID)) continue;
        std::string newID = dest.getUniqueID(record->recordType(), &temporary);
        // Types that share an ID prefix count on their own.
        while (freshIDs.count(newID)) newID = dest.getUniqueID(record->recordType(), &temporary);
        freshIDs.insert(newID);
        renumbered[oldID] = std::move(newID);
    }
    renumberRecords(records, renumbered);

    std::vector<RecordPtr> toInstall;
    toInstall.reserve(records.size());
    for (const RecordPtr& record : records) {
        if (record->isType("SUBN") && destHasSubmission) continue;
        if (auto media = std::dynamic_pointer_cast<OBJERecord>(record); media && sourceDoc) {
            bool isURL = false;
            const std::string stored = media->mmFileName(&isURL);
            if (!stored.empty() && !isURL)
                if (auto full = sourceDoc->multimediaFilePath(stored)) media->setFileFullPath(*full);
        }
        toInstall.push_back(record);
    }

    std::vector<RecordPtr> batch;
    for (const RecordPtr& record : toInstall) {
        batch.push_back(record);
        if (batch.size() >= kInstallBatch) main.postAndWait([&] { installBatch(dest, batch, note); });
    }
    if (!batch.empty()) main.postAndWait([&] { installBatch(dest, batch, note); });

    // Style-sheet comments and HTML links inside the merged records follow
    // the renumbering (the style sheets' new IDs were gathered as they were
    // renumbered); links to records outside the merge are left as they are.
    main.postAndWait([&] {
        dest.setCssRecords(gedcomModel_->cssRecords());
        std::unordered_map<std::string, RecordPtr> mergedByID;
        mergedByID.reserve(toInstall.size());
        for (const RecordPtr& record : toInstall) mergedByID.emplace(record->grecordID(), record);
        dest.checkCSSandHREFLinksFor(mergedByID, renumbered);
    });
}

void MergeController::renumberRecords(const std::vector<RecordPtr>& records, const HREFIDMap& renumbered) {
    if (renumbered.empty()) return;
    // One walk over every line: renumbering record by record would search
    // whole record lists for each record, which a large merge cannot afford.
    // The new IDs are free in both stores, so no link is rewritten twice.
    std::function<void(GEDCOMStructure&)> rewrite = [&](GEDCOMStructure& line) {
        const std::string& contents = line.contents();
        if (contents.size() > 2 && contents.front() == '@' && contents.back() == '@')
            if (auto found = renumbered.find(contents); found != renumbered.end()) line.setContents(found->second);
        for (const auto& child : line.structures()) rewrite(*child);
    };
    for (const RecordPtr& record : records) {
        for (const auto& child : record->structures()) rewrite(*child);
        if (!record->hasCrossRefs()) continue;
        const std::vector<std::string> backLinks = record->crossRefIDs();
        for (const auto& id : backLinks)
            if (auto found = renumbered.find(id); found != renumbered.end()) record->changeCrossRefTo(id, found->second);
    }
    for (const RecordPtr& record : records) {
        auto found = renumbered.find(record->grecordID());
        if (found == renumbered.end()) continue;
        const std::string oldID = record->grecordID();
        record->setGrecordID(found->second);
        if (auto media = std::dynamic_pointer_cast<OBJERecord>(record);
            media && media->mmFormat() == OBJERecord::kStyleSheetFormat)
            gedcomModel_->addCSSDictionaryObject(found->second, oldID);
        // The temporary store's lists file the record under its new ID.
        gedcomModel_->postNotification(notification_names::RecordIDChanged,
                                       Dictionary{{user_info_keys::OldRecordID, Value(oldID)}, {user_info_keys::TheRecord, Value(record)}});
    }
}

void MergeController::installBatch(GEDCOMModel& dest, std::vector<RecordPtr>& batch, const RecordPtr& note) {
    for (const RecordPtr& record : batch) {
        if (note && linksToMergeNote(*record)) record->attachRefedLink(note, "NOTE");
        dest.installRecord(record);
        if (auto media = std::dynamic_pointer_cast<OBJERecord>(record)) media->changedRootFolder();
        ++numberMerged_;
    }
    if (copyToAlbum_) copyToAlbum_->addRecordsToNewAlbum(batch);
    batch.clear();
}

// ---- the progress panel

void MergeController::progressDidLoad() {}

std::string MergeController::stepText() const {
    switch (mergeStep_.load()) {
    case Decoding: return "Decoding merge data into new records";
    case Adjusting: return "Adjusting records to be merged";
    case Adding: return "Adding merged records to the file";
    default: return "";
    }
}

std::string MergeController::countLabel() const {
    switch (mergeStep_.load()) {
    case Collecting: return "Records Collected";
    case Adding: return "Records Merged";
    default: return "Records Decoded";
    }
}

double MergeController::fractionDone() {
    if (mergeStep_ >= Adjusting) {
        const int32_t total = totalToMerge_;
        return total > 0 ? static_cast<double>(numberMerged_) / total : 1.0;
    }
    return gedcomModel_->fractionDone();
}

std::optional<std::string> MergeController::updateStatusField() {
    if (mergeStep_ >= Adjusting) return std::to_string(numberMerged_.load());
    const int32_t read = gedcomModel_->recordsDone();
    if (read == 0) return std::nullopt;
    return std::to_string(read);
}

void MergeController::cancelAction() {
    if (mergeStep_ == Adding) return;
    readWriteStatus_ = Cancelled;
    gedcomModel_->stopParsing();
}

}  // namespace kl
