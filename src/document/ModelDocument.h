#pragma once
// ModelDocument: what the record store asks of the document that owns it (or
// of a merge that owns a temporary store): its undo manager, the status that
// stops long work, and the package services that reading and deleting touch.
// Every answer but undoManager has a harmless default, so a merge or a test
// implements only what it has.
//
// Ownership: the store keeps a plain pointer; the document outlives its store.
// Thread: called on the thread that drives the store (the reading worker
// while a file is read, else the main thread).
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class UndoManager;

class ModelDocument {
public:
    virtual ~ModelDocument() = default;

    // nullptr when nothing done to the store is undoable (a merge's store).
    virtual UndoManager* undoManager() = 0;
    // The status of the document's read or save: 0 while one runs, then
    // how it ended. Only kStatusCancelled stops writers; an idle document
    // (done or failed) lets them write everything.
    static constexpr int kStatusCancelled = 3;
    virtual int readWriteStatus() { return 0; }
    // Told once when a parse starts.
    virtual void parceGEDCOMStep() {}
    // A deleted multimedia record's thumbnail leaves the package.
    virtual void removeThumbnail(const std::string& /*recordID*/) {}
    // Package dictionaries carried inside an imported file's header.
    virtual void readPackageAttributes(const Dictionary& /*attributes*/) {}
    virtual void readPackageSettings(const Dictionary& /*settings*/) {}
    // The stored JPEG bytes of a multimedia record's thumbnail, written after
    // the record when an export asks for thumbnails; nullopt when none.
    virtual std::optional<std::string> getThumbnail(const std::string& /*recordID*/) { return std::nullopt; }
    // A thumbnail (JPEG bytes) found embedded in a read multimedia record.
    virtual void setThumbnail(std::string /*jpegBytes*/, const std::string& /*recordID*/) {}
    // The package dictionaries a whole-file export may carry in its header
    // (the attributes, and the settings of one record type); nullopt when
    // the document keeps none.
    virtual std::optional<Dictionary> dictionaryOfAttributes() { return std::nullopt; }
    virtual std::optional<Dictionary> dictionaryOfSettings(const std::string& /*type*/) { return std::nullopt; }
    // The multimedia root folders; an imported file's embedded attributes
    // replace them and the import's own folder is kept after them.
    virtual std::vector<std::string> multimediaRoot() const { return {}; }
    virtual void setMultimediaRoot(std::vector<std::string> /*roots*/) {}
    // The document's own file (a package folder or a GEDCOM file); nullopt
    // while it is untitled. Multimedia files are looked for beside it.
    virtual std::optional<std::filesystem::path> fileURL() const { return std::nullopt; }
};

}  // namespace kl
