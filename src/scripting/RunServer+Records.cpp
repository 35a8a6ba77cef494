// Object commands on one GEDCOM record or structure: add, move and delete
// structures, delete records, detach family members, merge and drop
// records, sort parts of a record, describe it, copy a multimedia file,
// find structures and list relatives. Every change of the model is made on
// the main thread, as one undoable step, while the script waits.
#include <algorithm>
#include <functional>
#include <unordered_set>

#include "foundation/AsciiText.h"
#include "foundation/MainThread.h"
#include "foundation/Numbers.h"
#include "foundation/UndoManager.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/OBJERecord.h"
#include "model/RecordStore.h"
#include "script/ISListType.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptApplication.h"
#include "scripting/ScriptNames.h"

namespace kl {

namespace {

// Runs a change of the model on the main thread as one undo step under
// the action name; the script thread waits for it.
void editOnMainThread(const GEDCOMObject& node, const std::string& action, const std::function<void()>& edit) {
    Dispatcher::current().postAndWait([&] {
        UndoManager* undo = node.undoManager();
        if (!undo) {
            edit();
            return;
        }
        undo->beginUndoGrouping();
        try {
            edit();
        } catch (...) {
            undo->endUndoGrouping();
            throw;
        }
        undo->setActionName(action);
        undo->endUndoGrouping();
    });
}

bool isChildOf(const GEDCOMObject& parent, const GEDCOMObject* child) {
    const auto& children = parent.structures();
    return std::any_of(children.begin(), children.end(), [child](const auto& s) { return s.get() == child; });
}

// A family's level-1 line with the tag whose contents is the ID.
bool hasLink(const FAMRecord& family, const std::string& tag, const std::string& recordID) {
    const auto& children = family.structures();
    return std::any_of(children.begin(), children.end(),
                       [&](const auto& s) { return s->gtag() == tag && s->contents() == recordID; });
}

// The relatives of an individual generation by generation (parents or
// children first), each once; at most `generations` generations when given.
Array relativesOf(const std::shared_ptr<INDIRecord>& start, bool ancestors, std::optional<long> generations) {
    Array found;
    std::unordered_set<const GEDCOMRecord*> seen{start.get()};
    std::vector<std::shared_ptr<INDIRecord>> current{start};
    for (long generation = 0; !current.empty() && (!generations || generation < *generations); ++generation) {
        std::vector<std::shared_ptr<INDIRecord>> next;
        for (const auto& person : current)
            for (const auto& relative : ancestors ? person->parentRecs() : person->childrenRecs())
                if (relative && seen.insert(relative.get()).second) {
                    found.emplace_back(relative);
                    next.push_back(relative);
                }
        current = std::move(next);
    }
    return found;
}

}  // namespace

// ---- Structures -------------------------------------------------------------------------

void RunServer::doObjectAddstructure(const Value& target) {
    auto node = target.objectAs<GEDCOMObject>();
    if (!node) {
        outputError("the target object must be a record or a structure", &origCmd_);
        return;
    }
    auto name = objectNameArgument("First parameter in AddStructure command must be a valid object variable name");
    if (!name) return;
    auto tag = getString();
    if (!tag) return;
    auto contents = getString();
    if (!contents) return;
    // The end unless a structure to insert after, or a non-negative index, is given.
    Value position(static_cast<double>(-1));
    if (more()) {
        const std::string given = *getString();
        const Value named = findExistingObject(given);
        if (named.object())
            position = named;
        else
            position = Value(static_cast<double>(parseDouble(given).value_or(-1)));
    }
    auto structure = std::make_shared<GEDCOMStructure>(nullptr, node->glevel() + 1, *tag, *contents);
    bool added = false;
    try {
        editOnMainThread(*node, "Add Structure", [&] {
            node->klis_insertObjectInKlStructures(Array{Value(structure), position});
            added = isChildOf(*node, structure.get());
        });
    } catch (const std::exception&) {
        added = false;
    }
    scriptObjects_.set(*name, Value(structure));
    if (!added) outputError("error occurred trying to add a structure to class " + scriptClassName(target), &origCmd_);
}

void RunServer::doObjectMove(const Value& target) {
    auto structure = target.objectAs<GEDCOMStructure>();
    if (!structure) {
        outputError("the target object must be a structure", &origCmd_);
        return;
    }
    std::shared_ptr<GEDCOMStructure> before;
    if (more()) {
        const Value named = findExistingObject(*getString());
        if (!named.object()) {
            outputError("the first parameter is not a valid object", &origCmd_);
            return;
        }
        before = named.objectAs<GEDCOMStructure>();
        if (!before) {
            outputError("the first parameter is not a structure", &origCmd_);
            return;
        }
    }
    GEDCOMRecord* record = structure->theRecord();
    auto parent = record ? record->findParentOfStructure(structure.get()) : nullptr;
    // A structure to move before that is no sibling would leave the move undone unseen.
    if (!parent || (before && !isChildOf(*parent, before.get()))) {
        outputError("error occurred trying to move a structure in class " +
                        (parent ? scriptClassName(Value(std::static_pointer_cast<Object>(parent))) : std::string("nil")),
                    &origCmd_);
        return;
    }
    Array arguments{Value(structure)};
    if (before) arguments.emplace_back(before);
    editOnMainThread(*parent, "Move Structure", [&] { parent->klis_moveObjectInKlStructures(arguments); });
}

void RunServer::doObjectFindstructures(const Value& target) {
    auto name = objectNameArgument("First parameter in findStructures command must be a valid object variable name");
    if (!name) return;
    auto tag = getString();
    if (!tag) return;
    auto node = target.objectAs<GEDCOMObject>();
    if (!node) {
        outputError("class " + scriptClassName(target) + " does not support findStructures command", &origCmd_);
        return;
    }
    Dictionary arguments{{"lookTag", Value(*tag)}, {"output", Value("references")}};
    if (more()) arguments.set("lookContents", Value(*getString()));
    const ScriptReply reply = node->scriptFindStructures(arguments);
    if (reply.failed()) {
        outputError(*reply.error, &origCmd_);
        return;
    }
    const Array* found = reply.value.array();
    scriptObjects_.set(*name, Value(ISListType::listWithList(found ? *found : Array{})));
}

// ---- Deleting -----------------------------------------------------------------------------

void RunServer::doObjectDelete(const Value& target, const Value& container, long index) {
    const Array* before = listItemsOf(container);
    const std::size_t countBefore = before ? before->size() : 0;
    if (deleteAlbum(target)) {
        // The album is gone; a script list that held it drops it below.
    } else if (auto record = target.objectAs<GEDCOMRecord>()) {
        if (auto reason = record->canBeDeleted(1)) {
            outputError("Error deleting a record - " + *reason, &origCmd_);
            return;
        }
        RecordStore* store = record->model();
        if (!store) {
            outputError("Error deleting a record - it is not in a document", &origCmd_);
            return;
        }
        editOnMainThread(*record, "Delete Record", [&] { store->deleteRecord(record); });
    } else if (auto structure = target.objectAs<GEDCOMStructure>()) {
        returnValue_ = Value();
        editOnMainThread(*structure, "Delete Structure", [&] { structure->klis_removeObjectFromKlStructures(this); });
        if (returnValue_.toString() != "") {
            outputError("The structure could not be deleted", &origCmd_);
            return;
        }
    } else {
        outputError("Object class " + scriptClassName(target) + " cannot be deleted", &origCmd_);
        return;
    }
    // A script list of records must not keep the one it deleted.
    if (index == NotFound) return;
    if (auto list = scriptListOf(container); list && list->count() == countBefore)
        list->klis_removeObjectAtIndex(index);
}

// ---- Records ------------------------------------------------------------------------------

void RunServer::doObjectCanlink(const Value& target) {
    auto record = target.objectAs<GEDCOMRecord>();
    if (!record) {
        outputError("The CanLink command is only supported by GEDCOM records.", &origCmd_);
        return;
    }
    auto name = variableArgument("First parameter to CanLink must evaluate to a variable name starting in '#'.");
    if (!name) return;
    auto type = getString();
    if (!type) return;
    variables_.insert_or_assign(*name, record->canLinkTo(*type) ? "true" : "false");
}

void RunServer::doObjectCopyfile(const Value& target) {
    auto object = target.objectAs<OBJERecord>();
    if (!object) {
        outputError("copyFile command only allowed for multimedia record objects", &origCmd_);
        return;
    }
    auto name = variableArgument("First parameter to CopyFile must evaluate to a variable name starting in '#'.");
    if (!name) return;
    if (!more()) {
        outputError("copyFile command requires destination file path", &origCmd_);
        return;
    }
    const std::string destination = *getString();
    variables_.insert_or_assign(*name, object->cpMmFileToPath(destination, true).value_or(""));
}

void RunServer::doObjectDescription(const Value& target) {
    auto name = variableArgument("First parameter to Description must evaluate to a variable name starting in '#'.");
    if (!name) return;
    Array options;
    if (more()) {
        auto letters = scriptListOf(findExistingObject(*getString()));
        if (!letters) {
            outputError("Second parameter in Description must be valid list.", &origCmd_);
            return;
        }
        options = *letters->list();
    }
    auto record = target.objectAs<GEDCOMRecord>();
    if (!record) {
        outputError("The Description command is only supported by GEDCOM records.", &origCmd_);
        return;
    }
    const ScriptReply reply = record->handleReportDescriptionScriptCommand(Dictionary{{"outputOptions", Value(options)}});
    if (reply.failed()) {
        outputError(*reply.error, &origCmd_);
        return;
    }
    std::string text;
    if (const Array* lines = reply.value.array()) {
        for (std::size_t i = 0; i < lines->size(); ++i) text += (i ? "\n" : "") + (*lines)[i].toString();
    } else {
        text = reply.value.toString();
    }
    variables_.insert_or_assign(*name, text);
}

void RunServer::doObjectDetach(const Value& target) {
    auto family = target.objectAs<FAMRecord>();
    if (!family) {
        outputError("The Detach command is only supported by family records.", &origCmd_);
        return;
    }
    auto given = getString();
    if (!given) return;
    std::function<void()> detach;
    if (auto person = findExistingObject(*given).objectAs<INDIRecord>()) {
        const std::string& id = person->grecordID();
        if (hasLink(*family, "CHIL", id))
            detach = [family, person] { family->detachChild(person); };
        else if (hasLink(*family, "HUSB", id))
            detach = [family] { family->detachSpouse("HUSB"); };
        else if (hasLink(*family, "WIFE", id))
            detach = [family] { family->detachSpouse("WIFE"); };
    } else {
        const std::string word = asciiLower(*given);
        if (word == "husband") {
            detach = [family] { family->detachSpouse("HUSB"); };
        } else if (word == "wife") {
            detach = [family] { family->detachSpouse("WIFE"); };
        } else if (word == "both") {
            detach = [family] {
                family->detachSpouse("WIFE");
                family->detachSpouse("HUSB");
            };
        } else if (hasLink(*family, "CHIL", *given) && family->model()) {
            auto child = std::dynamic_pointer_cast<INDIRecord>(family->model()->recordWithID(*given, "INDI"));
            if (child) detach = [family, child] { family->detachChild(child); };
        }
    }
    if (!detach) {
        outputError("The first parameter to Detach command does not provided a valid spouse or child to detach",
                    &origCmd_);
        return;
    }
    editOnMainThread(*family, "Detach", detach);
}

void RunServer::doObjectDropon(const Value& target) {
    auto record = target.objectAs<GEDCOMRecord>();
    if (!record) {
        outputError("The DropOn command can only drop GEDCOM Records", &origCmd_);
        return;
    }
    auto name = getString();
    if (!name) return;
    const Value named = findExistingObject(*name);
    if (!named.object()) {
        outputError("The DropOn target in first parameter must be a valid object name", &origCmd_);
        return;
    }
    auto onto = named.objectAs<GEDCOMRecord>();
    if (!onto) {
        outputError("The DropOn target in first parameter must be a GEDCOM Record object name", &origCmd_);
        return;
    }
    std::optional<std::string> refusal;
    editOnMainThread(*onto, "Drop Record", [&] { refusal = record->finishMoveToTarget(onto); });
    if (refusal && !refusal->empty()) outputError(*refusal, &origCmd_);
}

void RunServer::doObjectMergewith(const Value& target) {
    auto record = target.objectAs<GEDCOMRecord>();
    if (!record) {
        outputError("The MergeWith command can only merge GEDCOM records.", &origCmd_);
        return;
    }
    auto name = getString();
    if (!name) return;
    auto other = findExistingObject(*name).objectAs<GEDCOMRecord>();
    if (!other) {
        outputError("The record to be merged is invalid.", &origCmd_);
        return;
    }
    const bool force = more() && asciiLower(*getString()) == "true";
    ScriptReply reply;
    editOnMainThread(*record, "Merge Records", [&] {
        reply = record->handleMergeRecordsScriptCommand(
            Dictionary{{"otherRecord", Value(std::static_pointer_cast<Object>(other))}, {"forceit", Value(force)}});
    });
    if (reply.failed()) outputError(*reply.error, &origCmd_);
}

void RunServer::doObjectSortdata(const Value& target) {
    auto record = target.objectAs<GEDCOMRecord>();
    if (!record) {
        outputError("SortData command only allowed for GEDCOM record objects", &origCmd_);
        return;
    }
    const std::string option = more() ? asciiLower(*getString()) : std::string();
    int kind = 0;
    if (option == "children")
        kind = SortChildren;
    else if (option == "spouses")
        kind = SortSpouseFamilies;
    else if (option == "events")
        kind = SortEvents;
    else if (option == "multimedia")
        kind = SortMultimediaLinks;
    if (!kind) {
        outputError("SortData command first parameter has an invalid sort option", &origCmd_);
        return;
    }
    // sortEntry makes its own undo step.
    Dispatcher::current().postAndWait([&] { record->ISSortEntry(Value(kind)); });
}

void RunServer::doObjectShowbrowser(const Value& target) {
    auto record = target.objectAs<GEDCOMRecord>();
    if (!record) {
        outputError("ShowBrowser only allowed for GEDCOMRecord objects", &origCmd_);
        return;
    }
    Dictionary arguments;
    if (more()) arguments.set("withID", Value(*getString()));
    ScriptReply reply;
    Dispatcher::current().postAndWait([&] { reply = record->scriptShowBrowserPane(arguments); });
    if (reply.failed()) outputError(*reply.error, &origCmd_);
}

void RunServer::doObjectListancestors(const Value& target) { listRelatives(target, true); }

void RunServer::doObjectListdescendants(const Value& target) { listRelatives(target, false); }

void RunServer::listRelatives(const Value& target, bool ancestors) {
    auto person = target.objectAs<INDIRecord>();
    if (!person) {
        outputError("ListAncestors or ListDescendants commands only allowed for individual record objects",
                    &origCmd_);
        return;
    }
    auto name = objectNameArgument("First parameter in ListAncestors or ListDescendants must be a valid object variable name");
    if (!name) return;
    std::optional<long> generations;
    if (more()) {
        long given = 0;
        getIntarg(given);
        if (given < 0) {
            outputError("ListAncestors or ListDescendants generations must not be negative", &origCmd_);
            return;
        }
        generations = given;
    }
    Array found;
    Dispatcher::current().postAndWait([&] { found = relativesOf(person, ancestors, generations); });
    scriptObjects_.set(*name, Value(ISListType::listWithList(std::move(found))));
}

void RunServer::doObjectShowancestors(const Value& target) { showRelatives(target, true); }

void RunServer::doObjectShowdescendants(const Value& target) { showRelatives(target, false); }

void RunServer::showRelatives(const Value& target, bool ancestors) {
    auto person = target.objectAs<INDIRecord>();
    if (!person) {
        outputError("ShowAncestors or ShowDescendants commands only allowed for individual record objects",
                    &origCmd_);
        return;
    }
    std::optional<int> generations;
    if (more()) {
        long given = 0;
        getIntarg(given);
        if (given < 0) {
            outputError("ShowAncestors or ShowDescendants generations must not be negative", &origCmd_);
            return;
        }
        generations = static_cast<int>(std::min(given, 1000L));
    }
    std::optional<bool> chart;
    if (more()) {
        const std::string style = asciiLower(*getString());
        if (style != "chart" && style != "outline") {
            outputError("ShowAncestors or ShowDescendants style must be 'chart' or 'outline'", &origCmd_);
            return;
        }
        chart = style == "chart";
    }
    bool shown = false;
    askOnMainThread([&](ScriptApplication& app) { shown = app.showRelatives(person, ancestors, generations, chart); });
    if (!shown) outputError("The record is not in an open document", &origCmd_);
}

}  // namespace kl
