#pragma once
// DocumentScripting: an open database as internal scripts see it. Scripts
// read its name, file and record lists, its albums and what its front
// window lists or has selected, and the script commands for documents ask
// it to make albums and records, group undo steps and choose the list the
// index window shows.
//
// Ownership: made on first use by the document's index window logic and
// shared with the scripts that hold it; when the index window goes, the
// object is cut off from the document and answers as a closed document
// (nothing, or false), so a script that outlives the window touches no
// freed memory.
// Thread: every call comes from a script's thread; the work is handed to
// the main thread and waited for, where the document lives and is cut off.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "model/ISScripting.h"

namespace kl {

class GEDCOMRecord;
class IndexController;
class RecordsList;

class DocumentScripting : public ISScripting {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    using ListPtr = std::shared_ptr<RecordsList>;

    explicit DocumentScripting(IndexController& index) : index_(&index) {}
    // Main thread: the document's index window is going.
    void detach() { index_ = nullptr; }

    // ---- ISScripting
    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;
    std::string viewName() const override { return "document"; }

    // ---- what the script commands ask (main thread, waiting)
    // A new album, named when a name is given; nullptr once closed.
    ListPtr ISCreateAlbum(const std::optional<std::string>& name);
    // A new record of the type with a fresh ID: an individual is male when
    // extra is "male" in any case, a place takes extra as its name.
    RecordPtr createRecordInIS(const std::string& type, const std::optional<std::string>& extra);
    void beginUndo();
    // The reason the group could not be closed, nullopt when it was.
    std::optional<std::string> endUndo(const std::optional<std::string>& actionName);
    // Shows the first list of the index window whose record type is the
    // type (when one is given) or whose name is the list name, sorted by
    // the column whose expression is given; the error text when there is
    // none.
    std::optional<std::string> argsSelectRecordType(const std::string& listName, const std::string& recordType,
                                                    const std::string& sortExpression);
    // Saves for a script: "" to the document's own file when edited, any
    // other text is a package path a copy is written to. The failure text,
    // or nullopt.
    std::optional<std::string> saveForScript(const std::string& location);
    // Exports with the current export options; whether the file was written.
    bool exportFinally(const std::string& path);
    // Whether the document has a file of its own (false once closed).
    bool hasFile();
    // Takes the album out of the store as one undo step "Delete Album".
    void ISDeleteAlbum(const ListPtr& album);
    // Forgets the context information of every record of the type; false
    // when the document has no such list.
    bool clearContextInfo(const std::string& recordType);

    // The record picker a script started, one for the application: its
    // outcome is the attribute "pickedRecord" of every document, nothing
    // while the picker shows, then the picked record or a cancel (nullptr).
    // Only the latest pick may end it. Main thread.
    static std::uint64_t pickStarted();
    static void pickEnded(const RecordPtr& picked, std::uint64_t pick);

    // Runs the work on the main thread while the document is open; false
    // once it has closed.
    bool onMain(const std::function<void(IndexController&)>& work);

private:
    Value scriptList(Array items, ISInterpreter* sender) const;

    IndexController* index_;  // main thread only
};

}  // namespace kl
