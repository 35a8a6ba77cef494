// Merging another open database, or records dragged from one, into this
// document: each merge is one undo step.
#include "dates/DateBridge.h"
#include "document/GEDCOMDocument.h"
#include "document/MergeController.h"

namespace kl {

bool GEDCOMDocument::mergeRecords(const std::optional<MergeAnswer>& info, const MergeWindows& windows) {
    if (!info || !info->sourceDoc) return false;
    return runMerge(std::nullopt, info->sourceDoc, info->albumIndex, info->linkText, info->createAlbumName, windows);
}

bool GEDCOMDocument::mergeGEDCOMString(std::string text, GEDCOMDocument* sourceDoc, const MergeWindows& windows) {
    std::string time;
    const std::string date = todayDateString(&time);
    return runMerge(std::move(text), sourceDoc, 0, std::nullopt, "Imported " + date + " " + time, windows);
}

bool GEDCOMDocument::runMerge(std::optional<std::string> text, GEDCOMDocument* sourceDoc, long albumIndex,
                              const std::optional<std::string>& linkText, const std::optional<std::string>& album,
                              const MergeWindows& windows) {
    auto merge = std::make_unique<MergeController>();
    const bool added = merge->mergeGEDCOMString(std::move(text), *this, sourceDoc, albumIndex, linkText, album, windows);
    if (added) undo_.setActionName(kMergeActionName);
    return added;
}

}  // namespace kl
