// Object commands that reach a document's windows: closing its front child
// window or a window a script holds, printing the front window, replacing
// its selected text, filling an album from it, and asking the user to pick
// a record in the index window's picker. The windows are touched on the
// main thread while the script waits.
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "document/RecordsListForPanel.h"
#include "foundation/AsciiText.h"
#include "foundation/MainThread.h"
#include "index/AlbumsMenu.h"
#include "index/BrowserWindow.h"
#include "index/DocumentScripting.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexView.h"
#include "model/GEDCOMRecord.h"
#include "script/ISDictType.h"
#include "script/ISNoneType.h"
#include "scripting/DocumentsApplication.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptNames.h"

namespace kl {

namespace {

// The document's window in front: a record browser, relatives or search
// window, else its index window.
DocumentWindowController& frontOf(IndexController& index) {
    DocumentWindowController* front = index.windows() ? index.windows()->frontGEDCOMcontroller() : nullptr;
    return front ? *front : index;
}

// A record browser closes through its own road (which asks about its
// pending edits); any other window is simply closed.
void closeController(DocumentWindowController& window) {
    if (auto* browser = dynamic_cast<BrowserWindow*>(&window)) browser->browserClose();
    else window.close();
}

// Whether a value names something, as the print command sees it.
bool namesAnObject(const Value& value) {
    return !(value.isNull() || value.isString() || value.isNumber() || value.objectAs<ISNoneType>());
}

}  // namespace

void RunServer::doObjectClosechild(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("closeChild command only allowed for documents", &origCmd_);
        return;
    }
    std::optional<std::string> variable;
    if (more()) {
        variable = getString();
        if (!variable || !Expression::validVarname(*variable)) {
            outputError("First parameter to closeChild (if provided) must evaluate to a variable name starting in '#'.",
                        &origCmd_);
            return;
        }
    }
    ScriptApplication& app = application();
    std::string title;
    doc->onMain([&](IndexController& index) {
        DocumentWindowController& front = frontOf(index);
        // The index window in front is the document itself: it stays.
        if (&front == &index) return;
        title = app.windowTitle(front.window());
        closeController(front);
    });
    if (variable) variables_.insert_or_assign(*variable, title);
}

bool RunServer::closeWindow(const Value& target) {
    auto window = target.objectAs<DocumentWindowController>();
    if (!window) return false;
    auto* documents = dynamic_cast<DocumentsApplication*>(&application());
    Dispatcher::current().postAndWait([&] {
        // A window that closed since the script got it is not touched again.
        if (documents && documents->isOpenWindow(window.get())) closeController(*window);
    });
    return true;
}

void RunServer::doObjectPrint(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("The print command can only be used with documents", &origCmd_);
        return;
    }
    const bool showDialog = !more() || asciiLower(*getString()) != "false";
    std::optional<Dictionary> settings;
    if (more()) {
        const Value named = findExistingObject(*getString());
        if (!namesAnObject(named)) {
            outputError("The print settings object is invalid.", &origCmd_);
            return;
        }
        auto dictionary = named.objectAs<ISDictType>();
        if (!dictionary) {
            outputError("The print settings object mus ba a dictionary.", &origCmd_);
            return;
        }
        settings = dictionary->dictionary();
    }
    ScriptApplication& app = application();
    std::optional<std::string> failure = std::string("The current front window for this document cannot be printed.");
    doc->onMain([&](IndexController& index) { failure = app.printWindow(frontOf(index).window(), showDialog, settings); });
    if (failure) outputError(*failure, &origCmd_);
}

bool RunServer::setFrontSelectedText(const Value& target, const std::string& text) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) return false;
    ScriptApplication& app = application();
    bool replaced = false;
    doc->onMain([&](IndexController& index) { replaced = app.setSelectedText(frontOf(index).window(), text); });
    // Nothing focused took the text: the script is told rather than left
    // to believe it changed something.
    if (!replaced)
        outputError("class " + scriptClassName(target) + " cannot set the requested property or value not valid",
                    &origCmd_);
    return true;
}

void RunServer::doObjectPopulate(const Value& target) {
    auto album = target.objectAs<RecordsList>();
    if (!album || album->listType() != ListUserAlbum) {
        outputError("The populate command can only be used with albums", &origCmd_);
        return;
    }
    Dispatcher::current().postAndWait([&] {
        GEDCOMModel* model = album->model();
        auto* document = model ? dynamic_cast<GEDCOMDocument*>(model->document()) : nullptr;
        IndexController* index = document ? IndexController::forDocument(document) : nullptr;
        if (!index) return;
        // An album no longer in the store gets a new one, as the menu's
        // "New Album" item would.
        int tag = AlbumsMenu::kNewAlbumTag;
        const auto& albums = index->recordsIndex().albums();
        for (std::size_t i = 0; i < albums.size(); ++i)
            if (albums[i] == album) tag = AlbumsMenu::kFirstAlbumTag + static_cast<int>(i);
        DocumentWindowController& front = frontOf(*index);
        if (&front == index) {
            index->populateAlbum(tag);
            return;
        }
        if (auto into = index->albumForItemTag(tag))
            for (const auto& record : front.selectedRecords()) into->addRecordToAlbum(record);
    });
}

void RunServer::doObjectUserselect(const Value& target) {
    auto doc = target.objectAs<DocumentScripting>();
    if (!doc) {
        outputError("UserSelect command only allowed for documents", &origCmd_);
        return;
    }
    const std::string type = more() ? *getString() : std::string();
    Array items;
    if (type.empty()) {
        const Value named = more() ? findExistingObject(*getString()) : Value();
        if (!namesAnObject(named)) {
            outputError("Second parameter for UserSelect from list not a valid object.", &origCmd_);
            return;
        }
        const Array* listed = listItemsOf(named);
        if (!listed) {
            outputError("Second parameter for UserSelect is not a list object.", &origCmd_);
            return;
        }
        items = *listed;
    }
    // The prompt follows the type, or the list when there is no type.
    std::string prompt = more() ? *getString() : std::string();
    if (prompt.empty()) prompt = "Select one record";
    std::optional<std::string> failure;
    doc->onMain([&](IndexController& index) {
        std::shared_ptr<RecordsListForPanel> list;
        if (!type.empty()) {
            auto records = index.recordsIndex().listForType(type);
            if (!records) {
                failure = "The command must specify valid 'by type' or 'from list' argument";
                return;
            }
            list = RecordsListForPanel::listWithList(*records);
        } else {
            const bool hasIDs = !items.empty() && items.front().isString();
            Array usable;
            for (const Value& item : items)
                if (hasIDs ? item.isString() : item.objectAs<GEDCOMRecord>() != nullptr) usable.push_back(item);
            if (usable.empty()) {
                failure = "The provided list does not have any records";
                return;
            }
            list = GEDCOMModel::getListFromArray(usable, hasIDs, nullptr, &index.gedcomModel());
            if (!list) {
                failure = "The provided list does not have any records or the records are missing or corrupted";
                return;
            }
        }
        const std::uint64_t pick = DocumentScripting::pickStarted();
        IndexView* view = index.view();
        if (!view) {
            DocumentScripting::pickEnded(nullptr, pick);
            return;
        }
        Dictionary options;
        options.set("message", Value(prompt));
        options.set("mustSelect", Value("YES"));
        // A picker that lets its answer go unanswered (Cancel, or closed)
        // leaves the pick cancelled rather than shown for ever.
        struct Unanswered {
            std::uint64_t pick = 0;
            bool answered = false;
            ~Unanswered() {
                if (!answered) DocumentScripting::pickEnded(nullptr, pick);
            }
        };
        auto unanswered = std::make_shared<Unanswered>();
        unanswered->pick = pick;
        view->runRecordPicker(list, options,
                              [unanswered](const std::shared_ptr<GEDCOMRecord>& picked, const Dictionary&) {
                                  unanswered->answered = true;
                                  DocumentScripting::pickEnded(picked, unanswered->pick);
                              });
    });
    if (failure) outputError(*failure, &origCmd_);
}

}  // namespace kl
