#pragma once
// DocumentsApplication: the application object ("klapp") as scripts see it
// in Kinlore II, where databases are open: its "documents" (a script list)
// and its "frontDocument" (the first of them, or the script's None), with
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

class GEDCOMDocument;

class DocumentsApplication : public ScriptApplication {
public:
    // The open documents, front first; called on the main thread.
    using Documents = std::function<std::vector<GEDCOMDocument*>()>;

    explicit DocumentsApplication(Documents documents = {}) : documents_(std::move(documents)) {}
    void setDocuments(Documents documents) { documents_ = std::move(documents); }
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;

private:
    Documents documents_;
};

}  // namespace kl
