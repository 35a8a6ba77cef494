#pragma once
// DocumentsApplication: the application object ("klapp") as scripts see it
// in Kinlore II, where databases are open: its "documents" (a script list)
// and its "frontDocument" (the first of them, or the script's None), its
// "windows" (the documents' window controllers), with
// everything else the application answers.
//
// Ownership: shared by the script controller and the runs that read it.
// Thread: asked from a script's thread; the open documents are read on the
// main thread while the script waits.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scripting/ScriptApplication.h"

namespace kl {

class DocumentScripting;
class DocumentWindowController;
class GEDCOMDocument;

class DocumentsApplication : public ScriptApplication {
public:
    // The open documents, front first; called on the main thread.
    using Documents = std::function<std::vector<GEDCOMDocument*>()>;

    // Closes an open document without asking; main thread.
    using Closer = std::function<void(GEDCOMDocument&)>;

    explicit DocumentsApplication(Documents documents = {}) : documents_(std::move(documents)) {}
    void setDocuments(Documents documents) { documents_ = std::move(documents); }
    void setCloser(Closer closer) { closer_ = std::move(closer); }
    // Closes the open document a script holds, dropping its unsaved
    // changes; false when it is not open here or nothing can close it.
    // Called from a script's thread.
    bool closeDocument(const DocumentScripting& document);
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;
    // The window controllers of the open documents ("windows"), each
    // document's front window first. Called from a script's thread.
    Array orderedWindows();
    // Whether the controller still belongs to an open document: a script
    // may hold one after its window closed. Main thread.
    bool isOpenWindow(const DocumentWindowController* window);

private:
    Documents documents_;
    Closer closer_;
};

}  // namespace kl
