#include "document/GEDCOMDocument.h"

#include "document/DocumentNotifications.h"
#include "foundation/NotificationCenter.h"

#include "document/AutosaveTimer.h"
#include "document/DocumentUI.h"
#include "document/IndexStyle.h"
#include "foundation/Exception.h"
#include "foundation/MainThread.h"
#include "model/OBJERecord.h"

namespace kl {

std::atomic<GEDCOMDocument::Road> GEDCOMDocument::road_{GEDCOMDocument::Road::Reading};
std::atomic<bool> GEDCOMDocument::thumbnailStep_{false};

GEDCOMDocument::GEDCOMDocument()
    : gedcomModel_(std::make_unique<GEDCOMModel>(this)),
      lastAttached_{{"NOTE", ""}, {"SOUR", ""}, {"OBJE", ""}, {"_LOG", ""}} {
    resetTimersObservation_ = NotificationCenter::defaultCenter().addObserver(
        kResetAutoSaveTimers, nullptr, [this](const Notification&) { startAutoSaveTimer(); });
    undo_.setChangeObserver([this](UndoManager::Change change) {
        switch (change) {
        case UndoManager::Change::Done: updateChangeCount(Change::Done); break;
        case UndoManager::Change::Undone: updateChangeCount(Change::Undone); break;
        case UndoManager::Change::Redone: updateChangeCount(Change::Redone); break;
        }
    });
}

std::unique_ptr<GEDCOMDocument> GEDCOMDocument::makeUntitled() {
    auto document = std::make_unique<GEDCOMDocument>();
    document->createWithInitOnly_ = false;
    document->readNewFileData();
    return document;
}

GEDCOMDocument::~GEDCOMDocument() {
    resetTimersObservation_.reset();
    if (autoSaveTimer_) autoSaveTimer_->stop();
    Dispatcher::current().cancelDeferred(this);
    undo_.setChangeObserver(nullptr);
    undo_.removeAllActions();
}

DocumentUI& GEDCOMDocument::ui() const { return ui_ ? *ui_ : DocumentUI::headless(); }

void GEDCOMDocument::setAutosaveTimer(std::unique_ptr<AutosaveTimer> timer) {
    if (autoSaveTimer_) autoSaveTimer_->stop();
    autoSaveTimer_ = std::move(timer);
}

std::optional<std::string> GEDCOMDocument::readWriteMessage() const {
    std::lock_guard lock(messageMutex_);
    return readWriteMessage_;
}

void GEDCOMDocument::setReadWriteMessage(std::optional<std::string> message) {
    std::lock_guard lock(messageMutex_);
    readWriteMessage_ = std::move(message);
}

void GEDCOMDocument::appendReadWriteMessage(const std::string& item) {
    std::lock_guard lock(messageMutex_);
    if (!readWriteMessage_ || readWriteMessage_->empty())
        readWriteMessage_ = "Changes: " + item;
    else
        readWriteMessage_->append(", ").append(item);
}

std::string GEDCOMDocument::stepText() const {
    std::lock_guard lock(messageMutex_);
    return stepText_;
}

void GEDCOMDocument::setStep(std::string text, bool indeterminate) {
    {
        std::lock_guard lock(messageMutex_);
        stepText_ = std::move(text);
    }
    indeterminate_ = indeterminate;
}

void GEDCOMDocument::updateChangeCount(Change change) {
    switch (change) {
    case Change::Done:
        // A fresh change made while the saved state lies ahead (undone, in
        // the redo history) drops that history: the saved state is gone.
        if (savedChangeCount_ && changeCount_ < *savedChangeCount_) savedChangeCount_.reset();
        ++changeCount_;
        break;
    case Change::Undone: --changeCount_; break;
    case Change::Redone: ++changeCount_; break;
    case Change::Cleared:
        changeCount_ = 0;
        savedChangeCount_ = 0;
        break;
    }
    if (std::this_thread::get_id() != ownerThread_) return;
    ui().changeCountChanged(*this);
    NotificationCenter::defaultCenter().post(notification_names::DocumentChangeCountChanged,
                                             static_cast<const void*>(this));
}

Dictionary GEDCOMDocument::defaultPrintInfo() {
    return Dictionary{{"LeftMargin", 72}, {"RightMargin", 72}, {"TopMargin", 72}, {"BottomMargin", 72}};
}

// ---- multimedia root folders

void GEDCOMDocument::postRootsChanged() {
    NotificationCenter::defaultCenter().post(kRootsChanged, gedcomModel_.get(), {});
}

void GEDCOMDocument::postRootWillBeRemoved(const std::string& folder) {
    NotificationCenter::defaultCenter().post(kRootsWillBeRemoved, gedcomModel_.get(), Dictionary{{"folder", folder}});
}

void GEDCOMDocument::addMultimediaRoot(const std::string& path, int32_t index) {
    const auto count = static_cast<int32_t>(multimediaRoot_.size());
    if (index < 0 || index > count) index = count;
    undo_.registerUndo(this, [this, index] { removeMultimediaRootAtIndex(index); });
    multimediaRoot_.insert(multimediaRoot_.begin() + index, path);
    postRootsChanged();
}

void GEDCOMDocument::removeMultimediaRootAtIndex(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(multimediaRoot_.size())) return;
    const std::string path = multimediaRoot_[static_cast<size_t>(index)];
    postRootWillBeRemoved(path);
    undo_.registerUndo(this, [this, path, index] { addMultimediaRoot(path, index); });
    multimediaRoot_.erase(multimediaRoot_.begin() + index);
    postRootsChanged();
}

void GEDCOMDocument::changeMultimediaRoot(const std::string& path, int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(multimediaRoot_.size())) return;
    std::string& slot = multimediaRoot_[static_cast<size_t>(index)];
    postRootWillBeRemoved(slot);
    undo_.registerUndo(this, [this, old = slot, index] { changeMultimediaRoot(old, index); });
    slot = path;
    postRootsChanged();
}

std::optional<std::string> GEDCOMDocument::multimediaFilePath(const std::string& stored) const {
    return OBJERecord::multimediaFilePath(stored, multimediaRoot_, fileName_);
}

void GEDCOMDocument::replaceAllRootFolders(std::vector<std::string> roots) {
    undo_.registerUndo(this, [this, old = multimediaRoot_] { replaceAllRootFolders(old); });
    multimediaRoot_ = std::move(roots);
}

// ---- album styles and thumbnails

std::shared_ptr<IndexStyle> GEDCOMDocument::albumStyle(const std::string& albumKey) {
    auto& style = albumColumns_[albumKey];
    if (!style) style = IndexStyle::defaultStyleForUserAlbum(albumKey);
    return style;
}

std::optional<std::string> GEDCOMDocument::getThumbnail(const std::string& recordID) {
    return imageThumbs_.getThumbnail(recordID);
}

void GEDCOMDocument::setThumbnail(std::string jpegBytes, const std::string& recordID) {
    imageThumbs_.setThumbnail(std::move(jpegBytes), recordID);
}

void GEDCOMDocument::removeThumbnail(const std::string& recordID) { imageThumbs_.removeThumbnail(recordID); }

// ---- cancel and progress

void GEDCOMDocument::checkCanceled() const {
    if (readWriteStatus_ == Cancelled) raise(exception_names::FileCancel, "cancel");
}

void GEDCOMDocument::parceGEDCOMStep() { indeterminate_ = false; }

std::optional<std::string> GEDCOMDocument::updateStatusField() {
    const int32_t done = gedcomModel_->recordsDone();
    if (done <= 0) return std::nullopt;
    return std::to_string(done);
}

// Only a running task can be cancelled: a Cancel that arrives after the
// worker has finished (the panel had not closed yet) leaves the finished
// result, failed or done, as it is.
void GEDCOMDocument::cancelAction() {
    int32_t running = Running;
    if (!readWriteStatus_.compare_exchange_strong(running, Cancelled)) return;
    gedcomModel_->stopParsing();
}

void GEDCOMDocument::progressDidLoad() {
    switch (road_.load()) {
    case Road::Reading:
        if (gedcomModel_->parsingRecords())
            indeterminate_ = false;
        else if (readWriteStatus_ == Running)
            thumbnailStep_ ? setStep("Reading Multimedia Thumbnails", true) : setStep("Adjusting GEDCOM Data", false);
        break;
    case Road::Saving:
        if (thumbnailStep_)
            setStep("Writing Multimedia Thumbnails", true);
        else
            indeterminate_ = false;
        break;
    case Road::Exporting:
        if (gedcomModel_->fractionDone() < 0.9999)
            indeterminate_ = false;
        else if (readWriteStatus_ == Running)
            setStep("Final preparations for GEDCOM export", indeterminate_);
        break;
    }
}

}  // namespace kl
