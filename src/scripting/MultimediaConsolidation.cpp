#include "scripting/MultimediaConsolidation.h"

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/Exception.h"
#include "foundation/TildePath.h"
#include "foundation/UndoManager.h"
#include "index/DocumentScripting.h"
#include "index/IndexController.h"
#include "model/OBJERecord.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

// One multimedia record whose file was found, read on the main thread.
struct Source {
    std::shared_ptr<OBJERecord> record;
    std::string name;  // as the record stores it
    std::string path;  // where the root folders find it
};

std::string withSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

bool isRelative(const std::string& name) { return !name.empty() && name[0] != '/' && name[0] != '~'; }

}  // namespace

std::string MultimediaConsolidation::unusedPathFor(const std::string& path, bool folder) {
    std::string base = path;
    std::string suffix;
    if (!folder) {
        const fs::path file(path);
        if (file.has_extension() && file.stem() != "") {
            suffix = file.extension().string();
            base = path.substr(0, path.size() - suffix.size());
        }
    }
    std::error_code error;
    for (int n = 1;; ++n) {
        std::string candidate = base + "_" + std::to_string(n) + suffix;
        if (!fs::exists(candidate, error) || (folder && fs::is_directory(candidate, error))) return candidate;
    }
}

std::string MultimediaConsolidation::createFoldersFrom(const std::string& start, const std::string& relative) {
    std::string folder = withSlash(start);
    for (const auto& part : fs::path(relative)) {
        const std::string component = part.string();
        if (component.empty() || component == "/") continue;
        folder += component;
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            if (fs::exists(folder, error)) folder = unusedPathFor(folder, true);
            fs::create_directories(folder, error);
            if (!fs::is_directory(folder, error))
                raise("KLFolderCreateError", "The folder at subfolder '" + component + "' could not be created.");
        }
        folder += '/';
    }
    return folder;
}

std::optional<std::string> MultimediaConsolidation::scriptConsolidation(DocumentScripting& document,
                                                                        const std::string& destination,
                                                                        bool keepSubfolders, bool relink) {
    std::string dest = destination;
    std::error_code error;
    // Made as asked or not at all: a file in the way must not send the
    // copies to a renamed folder the script does not know of.
    if (!fs::is_directory(dest, error)) {
        fs::create_directories(dest, error);
        if (!fs::is_directory(dest)) {
            const std::string reason = error ? error.message() : std::string("a file is in the way");
            return "The destination folder does not exist and could not be created (" + reason + ").";
        }
    }
    dest = withSlash(dest);

    std::vector<Source> sources;
    document.onMain([&](IndexController& index) {
        auto list = index.recordsIndex().listForType("OBJE");
        if (!list) return;
        for (const auto& record : list->order()) {
            auto object = std::dynamic_pointer_cast<OBJERecord>(record);
            bool isURL = false;
            const std::string name = object ? object->mmFileName(&isURL) : std::string();
            if (name.empty() || isURL) continue;
            if (auto path = index.document().multimediaFilePath(name)) sources.push_back({object, name, *path});
        }
    });

    std::vector<std::pair<std::shared_ptr<OBJERecord>, std::string>> relinks;
    std::optional<std::string> failure;
    try {
        for (const Source& source : sources) {
            std::string target;
            const fs::path name(source.name);
            if (keepSubfolders && isRelative(source.name))
                target = createFoldersFrom(dest, name.parent_path().string()) + name.filename().string();
            else
                target = dest + fs::path(source.path).filename().string();
            bool copy = true;
            if (fs::exists(target, error)) {
                if (fs::equivalent(target, source.path, error)) {
                    // Already in place under its own name: nothing to do.
                    if (source.path.starts_with(dest) && source.path.substr(dest.size()) == source.name) continue;
                    copy = false;
                } else {
                    target = unusedPathFor(target, false);
                }
            }
            if (copy && !fs::copy_file(source.path, target, error))
                raise("KLFileError", "File error copying file name '" + fs::path(source.path).filename().string() + "'");
            if (relink) relinks.emplace_back(source.record, target.substr(dest.size()));
        }
    } catch (const NamedException& e) {
        failure = "The consolidation process was stopped when a file or directory error occurred (" + e.message() +
                  ").";
    } catch (const fs::filesystem_error& e) {
        failure = std::string("The consolidation process was stopped when a file or directory error occurred (") +
                  e.what() + ").";
    }
    if (relinks.empty()) return failure;
    // The relinks, and after a complete run the destination as the only
    // root folder, are one step that undo takes back (the copies stay).
    document.onMain([&](IndexController& index) {
        GEDCOMDocument& doc = index.document();
        UndoManager& undo = doc.undo();
        undo.beginUndoGrouping();
        for (const auto& [record, link] : relinks) record->setFileLink(link);
        if (!failure) doc.replaceAllRootFolders({withSlash(abbreviateWithTilde(dest.substr(0, dest.size() - 1)))});
        undo.setActionName("Consolidate Multimedia");
        undo.endUndoGrouping();
    });
    return failure;
}

}  // namespace kl
