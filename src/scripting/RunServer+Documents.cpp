// Object commands for documents and albums: making albums and records,
// filling, emptying and combining albums, grouping a script's changes into
// one undo step, and choosing the list the index window shows. The model is
// changed on the main thread while the script waits.
#include "document/ExportOptions.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsList.h"
#include "foundation/AsciiText.h"
#include "foundation/TildePath.h"
#include "foundation/UserDefaults.h"
#include "index/IndexController.h"
#include "scripting/DocumentsApplication.h"
#include "scripting/MultimediaConsolidation.h"
#include "foundation/Logger.h"
#include "foundation/MainThread.h"
#include "index/DocumentScripting.h"
#include "model/GEDCOMRecord.h"
#include "script/ISNoneType.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptNames.h"

namespace kl {

namespace {

// A user album as a script names it; nullptr for anything else.
std::shared_ptr<RecordsList> albumOf(const Value& value) {
    auto list = value.objectAs<RecordsList>();
    return list && list->listType() == ListUserAlbum ? list : nullptr;
}

void onMain(const std::function<void()>& work) { Dispatcher::current().postAndWait(work); }

}  // namespace

std::shared_ptr<DocumentScripting> RunServer::documentAndName(const Value& target, const std::string& notADocument,
                                                               const std::string& badName) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError(notADocument, &origCmd_);
        return nullptr;
    }
    if (!more() || !validObjectName(*getString())) {
        outputError(badName, &origCmd_);
        return nullptr;
    }
    return doc;
}

void RunServer::doObjectAddalbum(const Value& target) {
    auto doc = documentAndName(target, "The target object for CreateAlbum command must be a document",
                               "First parameter in CreateAlbum command must be a valid object variable name");
    if (!doc) return;
    const std::string name = nextCmd_[arg_ - 1].toString();
    const std::optional<std::string> albumName = more() ? getString() : std::nullopt;
    auto album = doc->ISCreateAlbum(albumName);
    scriptObjects_.set(name, album ? Value(std::static_pointer_cast<Object>(album)) : Value(getNoneType()));
}

void RunServer::doObjectAddrecord(const Value& target) {
    if (auto album = albumOf(target)) {
        std::vector<std::shared_ptr<GEDCOMRecord>> records;
        while (more()) {
            const Value named = findExistingObject(*getString());
            if (auto record = named.objectAs<GEDCOMRecord>()) {
                records.push_back(record);
            } else if (const Array* items = listItemsOf(named)) {
                for (const Value& item : *items)
                    if (auto listed = item.objectAs<GEDCOMRecord>()) records.push_back(listed);
            }
        }
        onMain([&] {
            for (const auto& record : records) album->addRecordToAlbum(record);
        });
        return;
    }
    auto doc = documentAndName(target, "The target object for AddRecord command is not valid",
                               "First parameter in AddRecord command must be a valid object variable name");
    if (!doc) return;
    const std::string name = nextCmd_[arg_ - 1].toString();
    auto type = getString();
    if (!type) return;
    const std::optional<std::string> extra = more() ? getString() : std::nullopt;
    auto record = doc->createRecordInIS(*type, extra);
    if (!record) {
        outputError("The target object for AddRecord command is not valid", &origCmd_);
        return;
    }
    scriptObjects_.set(name, Value(std::static_pointer_cast<Object>(record)));
}

void RunServer::filterAlbum(const Value& target, int kind, const std::string& command) {
    auto album = albumOf(target);
    if (!album) {
        outputError(command + " command only allowed for albums.", &origCmd_);
        return;
    }
    const Value other = more() ? findExistingObject(*getString()) : Value();
    if (other.isNull() || other.isString() || other.isNumber() || other.objectAs<ISNoneType>()) {
        outputError("First parameter to " + command + " command must be valid object.", &origCmd_);
        return;
    }
    auto otherAlbum = albumOf(other);
    if (!otherAlbum) {
        outputError("First parameter to " + command + " command must be an album.", &origCmd_);
        return;
    }
    onMain([&] { album->ISFilterAlbum(*otherAlbum, kind); });
}

void RunServer::doObjectUnion(const Value& target) { filterAlbum(target, 1, "Union"); }
void RunServer::doObjectIntersection(const Value& target) { filterAlbum(target, 0, "Intersection"); }
void RunServer::doObjectDifference(const Value& target) { filterAlbum(target, -1, "Difference"); }

bool RunServer::removeFromAlbum(const Value& target) {
    auto album = albumOf(target);
    if (!album) return false;
    const Value named = more() ? findExistingObject(*getString()) : Value();
    auto record = named.objectAs<GEDCOMRecord>();
    if (!record) {
        outputError("Invalid object variable", &origCmd_);
        return true;
    }
    onMain([&] { album->removeRecordFromAlbum(record); });
    return true;
}

void RunServer::doObjectBeginundo(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("BeginUndo command only allowed for document objects", &origCmd_);
        return;
    }
    doc->beginUndo();
}

void RunServer::doObjectEndundo(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("EndUndo command only allowed for document objects", &origCmd_);
        return;
    }
    const std::optional<std::string> name = more() ? getString() : std::nullopt;
    // A group that cannot be closed is no reason to stop the script.
    if (auto failure = doc->endUndo(name)) Logger::log("End undo failed in internal script command: {}", *failure);
}

void RunServer::doObjectDisplay(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("The target object for Display command must be a document", &origCmd_);
        return;
    }
    auto listName = getString();
    if (!listName) return;
    const std::string type = more() ? *getString() : std::string();
    const std::string sort = more() ? *getString() : std::string();
    returnValue_ = Value();
    if (auto error = doc->argsSelectRecordType(*listName, type, sort)) outputError(*error, &origCmd_);
}

// ---- saving, closing and exporting

std::optional<std::string> RunServer::newPackagePath(const std::string& path, const std::string& command) {
    const std::filesystem::path target(expandTilde(path));
    if (!target.string().ends_with("gedpkg")) {
        outputError(command + " must be to file with extension 'gedpkg'", &origCmd_);
        return std::nullopt;
    }
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, error))) {
        outputError(command + " cannot overwrite an existing file", &origCmd_);
        return std::nullopt;
    }
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    if (!std::filesystem::is_directory(folder, error)) {
        outputError(command + " has folder that does not exist or is inaccessible", &origCmd_);
        return std::nullopt;
    }
    return target.string();
}

void RunServer::doObjectSave(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("save command only allowed for documents", &origCmd_);
        return;
    }
    // An empty path is no path: the document saves to its own file.
    std::string location = more() ? *getString() : std::string();
    if (!location.empty()) {
        auto path = newPackagePath(location, "save");
        if (!path) return;
        location = *path;
    } else if (!doc->hasFile()) {
        // Reporting beats a save that silently wrote nothing.
        outputError("save needs a path for a document that was never saved", &origCmd_);
        return;
    }
    if (auto failure = doc->saveForScript(location)) outputError("The document could not be saved: " + *failure, &origCmd_);
}

void RunServer::doObjectClose(const Value& target) {
    if (closeWindow(target)) return;
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("close command only allowed for documents or windows", &origCmd_);
        return;
    }
    const std::string option = more() ? *getString() : std::string("no");
    const std::string lower = asciiLower(option);
    std::string location;
    if (lower == "false" || lower == "no") {
        location = "no";
    } else if (lower == "true" || lower == "yes" || option.empty()) {
        location = doc->hasFile() ? std::string() : std::string("no");
    } else {
        auto path = newPackagePath(option, "close with save");
        if (!path) return;
        location = *path;
    }
    if (location != "no") {
        // A failed save keeps the document open, so nothing is lost.
        if (auto failure = doc->saveForScript(location)) {
            outputError("The document could not be saved: " + *failure, &origCmd_);
            return;
        }
    }
    auto* documents = dynamic_cast<DocumentsApplication*>(&application());
    if (!documents || !documents->closeDocument(*doc)) outputError("The document could not be closed", &origCmd_);
}

void RunServer::doObjectClearcontextinfo(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    const std::optional<std::string> type = doc && more() ? getString() : std::nullopt;
    if (!doc || !type || !doc->clearContextInfo(*type))
        outputError("class " + scriptClassName(target) + " does not respond to clearContextInfo", &origCmd_);
}

void RunServer::doObjectExportgedcom(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("The target object for ExportGEDCOM command must be a document", &origCmd_);
        return;
    }
    auto path = getString();
    if (!path) return;
    Array options;
    // A missing options list is reported and the export goes on with the defaults.
    if (auto listName = getString())
        if (const Array* items = listItemsOf(findExistingObject(*listName))) options = *items;
    static const std::pair<const char*, int> kEncodings[] = {
        {"char_macos", 0}, {"char_ansel", 1}, {"char_utf8", 2}, {"char_utf16", 3}, {"char_windows", 4}};
    static const std::pair<const char*, int> kLineEnds[] = {{"lines_cr", 0}, {"lines_lf", 1}, {"lines_lfcr", 2}};
    static const std::pair<const char*, int> kStyles[] = {{"gedcom551", 0},       {"gedcom551_embedded", 1},
                                                          {"gedcom55", 2},        {"kinlore_records", 3},
                                                          {"kinlore_all", 4},     {"kinlore_settings", 5}};
    int encoding = 2, lineEnd = 1, style = 0;
    for (const Value& item : options) {
        const std::string* text = item.string();
        if (!text) continue;
        const std::string word = asciiLower(*text);
        for (const auto& [name, index] : kEncodings)
            if (word == name) encoding = index;
        for (const auto& [name, index] : kLineEnds)
            if (word == name) lineEnd = index;
        for (const auto& [name, index] : kStyles)
            if (word == name) style = index;
    }
    onMain([&] {
        // The script's choices must not become the user's export settings.
        UserDefaults& defaults = UserDefaults::standard();
        const Value savedLength = defaults.objectForKey(ExportOptions::kMaximumLineKey);
        const int savedEncoding = ExportOptions::exportEncodingIndex();
        const int savedLineEnd = ExportOptions::lineEndingIndex();
        const int savedStyle = ExportOptions::exportStyle();
        const Value storedEncoding = defaults.objectForKey(ExportOptions::kCharacterSetKey);
        const Value storedLineEnd = defaults.objectForKey(ExportOptions::kLineEndingKey);
        const Value storedStyle = defaults.objectForKey(ExportOptions::kStyleKey);
        ExportOptions::setAlbumIndex(0);
        ExportOptions::setMaximumLineLength(255, defaults);
        ExportOptions::setCurrentEncodingByIndex(encoding, defaults);
        ExportOptions::setCurrentLineEndingByIndex(lineEnd, defaults);
        ExportOptions::setExportStyle(style, defaults);
        doc->exportFinally(*path);
        ExportOptions::setCurrentEncodingByIndex(savedEncoding, defaults);
        ExportOptions::setCurrentLineEndingByIndex(savedLineEnd, defaults);
        ExportOptions::setExportStyle(savedStyle, defaults);
        ExportOptions::setupExportPreferences(defaults);
        for (const auto& [key, value] : {std::pair{ExportOptions::kMaximumLineKey, savedLength},
                                          std::pair{ExportOptions::kCharacterSetKey, storedEncoding},
                                          std::pair{ExportOptions::kLineEndingKey, storedLineEnd},
                                          std::pair{ExportOptions::kStyleKey, storedStyle}})
            defaults.setObject(value, key);
        ExportOptions::setupExportPreferences(defaults);
    });
}

void RunServer::doObjectConsolidatemultimedia(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("The target object for consolidateMultmedia command must be a document", &origCmd_);
        return;
    }
    auto folder = getString();
    if (!folder) return;
    bool options[2] = {true, true};
    const char* refusals[2] = {"Preserve paths option for consolidateMultmedia command must be true or false",
                               "Change links option for consolidateMultmedia command must be true or false"};
    for (int i = 0; i < 2 && more(); ++i) {
        const std::string word = asciiLower(*getString());
        if (word != "true" && word != "false") {
            outputError(refusals[i], &origCmd_);
            return;
        }
        options[i] = word == "true";
    }
    if (auto failure = MultimediaConsolidation::scriptConsolidation(*doc, *folder, options[0], options[1]))
        outputError(*failure, &origCmd_);
}

void RunServer::doObjectSafehtml(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("SafeHtml command must target a document.", &origCmd_);
        return;
    }
    safeHtml(doc);
}

bool RunServer::deleteAlbum(const Value& target) {
    auto album = albumOf(target);
    if (!album) return false;
    std::shared_ptr<DocumentScripting> doc;
    onMain([&] {
        GEDCOMModel* model = album->model();
        auto* document = model ? dynamic_cast<GEDCOMDocument*>(model->document()) : nullptr;
        if (IndexController* index = document ? IndexController::forDocument(document) : nullptr)
            doc = index->scriptDocument();
    });
    if (doc) doc->ISDeleteAlbum(album);
    return true;
}

}  // namespace kl
