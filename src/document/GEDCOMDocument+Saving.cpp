// Saving a package. The worker writes a complete new package in a sibling
// folder and only then puts it in the old one's place, so a save that fails
// part-way (a full disk, a folder that cannot be written) leaves the old
// package as it was; the undo history is cleared only after success.
#include <chrono>
#include <cstdio>
#include <thread>

#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/PackageFolder.h"
#include "foundation/ByteSink.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "foundation/PackageSwap.h"
#include "foundation/PropertyList.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSaveCanceled = "File save was canceled";
constexpr const char* kNotSaved = "The database could not be saved.";

bool fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

[[noreturn]] void writeError(const std::string& message) { raise(exception_names::FileWriteError, message); }

void copyFolderIfPresent(const fs::path& from, const fs::path& to, const char* message) {
    std::error_code error;
    if (!fs::is_directory(from, error)) return;
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (error) writeError(message);
}

void replacePackage(const fs::path& written, const fs::path& target) {
    const PackageSwap::Result swapped = PackageSwap::replacePackage(written, target);
    switch (swapped.failure) {
    case PackageSwap::Failure::None: return;
    case PackageSwap::Failure::OldNotMovedAside:
        writeError("The old .gedpkg file could not be replaced: " + swapped.message);
    case PackageSwap::Failure::NewNotPlaced:
        writeError("The .gedpkg file could not be put in place: " + swapped.message);
    }
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

// ---- the main thread's side

bool GEDCOMDocument::writeToURL(const fs::path& path, const std::string& type,
                                const std::optional<fs::path>& originalContents, std::string* error) {
    stopAutoSaveTimer();
    struct SavingEnds {
        bool& saving;
        ~SavingEnds() { saving = false; }
    } savingEnds{saving_};
    if (type != kPackageType) return false;
    ui().documentWillSave();
    setReadWriteMessage(std::nullopt);
    readWriteStatus_ = Running;
    road_ = Road::Saving;
    thumbnailStep_ = false;
    const std::string selected = ui().currentType();
    const fs::path target = PackageSwap::packagePath(path);
    gedcomModel_->willReadWriteFile(static_cast<int32_t>(gedcomModel_->recordsIndex().numberOfRecords()));
    const auto start = std::chrono::steady_clock::now();
    std::thread worker(
        [this, target, selected, originalContents] {
            runWorker([&] { writeFileThread(target, selected, originalContents); });
        });
    Logger::log("Start saving file {} at {}", target.filename().string(), Logger::timestamp());
    waitForWorker("Saving File '" + target.filename().string() + "'", "Records Saved", 0.25);
    worker.join();
    Logger::log("...done saving in {} seconds status {}", secondsSince(start), readWriteStatus_.load());
    switch (readWriteStatus_.load()) {
    case Done:
        undo_.removeAllActions();
        Dispatcher::current().postDeferred(this, [this] { startAutoSaveTimer(); });
        return true;
    case Failed: return fail(error, readWriteMessage().value_or(""));
    default: return fail(error, kSaveCanceled);
    }
}

bool GEDCOMDocument::saveToURL(const fs::path& path, std::string* error) {
    if (!writeToURL(path, kPackageType, fileName_, error)) return false;
    fileName_ = PackageSwap::packagePath(path);
    fileType_ = kPackageType;
    updateChangeCount(Change::Cleared);
    return true;
}

bool GEDCOMDocument::saveAndCloseDocument(const std::string& location, std::string* error) {
    if (location == "no") return true;
    if (location.empty()) {
        if (isDocumentEdited()) ui().saveDocument(*this);
        return !isDocumentEdited();
    }
    return writeToURL(location, kPackageType, fileName_, error);
}

// ---- the save worker

void GEDCOMDocument::writeFileThread(const fs::path& target, const std::string& selectedType,
                                     const std::optional<fs::path>& previous) {
    // Only a package (or an empty folder) is ever replaced: the swap below
    // deletes what was there, and a user's own folder is not ours to delete.
    if (auto refusal = PackageFolder::refusalToReplace(target)) writeError(std::string(kNotSaved) + " " + *refusal);
    const std::string gedcomName = target.stem().string() + ".ged";
    std::error_code error;
    const fs::path parent = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    fs::create_directories(parent, error);
    const fs::path package = target.parent_path().empty() ? fs::path(".") / target : target;
    PackageFolder::removeLeftovers(package);
    const fs::path folder = PackageSwap::siblingOf(package, "saving");
    if (error || !fs::create_directory(folder, error) || error)
        writeError("The .gedpkg file directory could not be created: " + error.message());
    try {
        writePackageContents(folder, gedcomName, target, selectedType, previous);
        // A power cut after the swap must find the new package whole: its
        // files and its folder's entries reach the disk first, and the
        // parent's entry for the swapped names after.
        for (const fs::path& file : {folder / "attributes.plist", folder / "settings.plist", folder})
            if (!flushToDisk(file)) writeError("Error flushing '" + file.filename().string() + "' to the disk");
        replacePackage(folder, target);
    } catch (...) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        throw;
    }
    // The new package is in place; a parent folder that cannot be flushed
    // leaves it there, so the save still counts.
    if (!flushToDisk(parent))
        Logger::log("The folder of {} could not be flushed to the disk", target.string());
    setSourceGEDCOM(gedcomName);
    int32_t running = Running;
    readWriteStatus_.compare_exchange_strong(running, Done);
}

bool GEDCOMDocument::flushToDisk(const fs::path& path) const {
    return pathSync_ ? pathSync_(path) : PackageFolder::synchronize(path);
}

void GEDCOMDocument::writePackageContents(const fs::path& folder, const std::string& gedcomName,
                                          const fs::path& finalPath, const std::string& selectedType,
                                          const std::optional<fs::path>& previous) {
    writeGEDCOMFile(folder / gedcomName, finalPath);
    if (!PropertyList::writeFile(Value(dictionaryOfAttributes(gedcomName)), folder / "attributes.plist", nullptr,
                                 false))
        writeError("Error writing the file attributes information");
    if (!PropertyList::writeFile(Value(dictionaryOfSettings(std::optional<std::string>(selectedType))), folder / "settings.plist", nullptr,
                                 false))
        writeError("Error writing the file settings information");
    thumbnailStep_ = true;
    const bool wroteThumbs = imageThumbs_.writeThumbnailsTo(folder / "thumbs", saveThumbnailsInFile_);
    thumbnailStep_ = false;
    if (!previous) return;
    const fs::path old = PackageSwap::packagePath(*previous);
    copyFolderIfPresent(old / ".svn", folder / ".svn", "Error copying the main files's .svn directory");
    copyFolderIfPresent(old / "CVS", folder / "CVS", "Error copying the main files's CVS directory");
    if (!wroteThumbs) return;
    copyFolderIfPresent(old / "thumbs" / ".svn", folder / "thumbs" / ".svn",
                        "Error copying the thumbnail folders's .svn directory");
    copyFolderIfPresent(old / "thumbs" / "CVS", folder / "thumbs" / "CVS",
                        "Error copying the thumbnail folders's CVS directory");
}

std::unique_ptr<ByteSink> GEDCOMDocument::makeSink(const fs::path& file) const {
    try {
        if (sinkFactory_) return sinkFactory_(file);
        return std::make_unique<FileSink>(file);
    } catch (const NamedException&) {
        writeError("Error creating the file for writing GEDCOM data");
    }
}

// A package encoding that cannot hold every character of the text gives
// way to UTF-8 (and the attributes then say 4) rather than losing any.
void GEDCOMDocument::writeGEDCOMFile(const fs::path& file, const fs::path& finalPath) {
    auto sink = makeSink(file);
    if (!gedcomModel_->writeToGedpkgFile(*sink, 0, finalPath.string())) {
        sink.reset();
        gedcomModel_->setEncoding(GEDCOMModel::kDefaultEncoding);
        sink = makeSink(file);
        gedcomModel_->writeToGedpkgFile(*sink, 0, finalPath.string());
    }
    sink->synchronize();
    if (auto* fileSink = dynamic_cast<FileSink*>(sink.get())) fileSink->close();
}

}  // namespace kl
