// Object commands for documents and albums: making albums and records,
// filling, emptying and combining albums, grouping a script's changes into
// one undo step, and choosing the list the index window shows. The model is
// changed on the main thread while the script waits.
#include "document/RecordsList.h"
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

}  // namespace kl
