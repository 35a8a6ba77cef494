#pragma once
// GEDCOMWindowController: the base of the document windows that show records
// (index window, record browsers, relatives windows, search panel). It gives
// the window-free answers to what scripts and menus ask of a document's
// front window (selected, listed and key records, selected text, what is
// being edited); each window overrides what it can show.
//
// Ownership: the window is owned by its document's controller; records are
// held by shared pointer only for the length of an answer.
// Thread: main thread.
#include <QMainWindow>

class QMenu;

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class GEDCOMRecord;
class RecordsList;

class GEDCOMWindowController : public QMainWindow {
    Q_OBJECT
public:
    using Record = std::shared_ptr<GEDCOMRecord>;
    using Records = std::vector<Record>;
    // A selection range: location and length in characters.
    using TextRange = std::pair<std::size_t, std::size_t>;

    explicit GEDCOMWindowController(QWidget* parent = nullptr);

    // The first of selectedRecords(); nullptr when there is none.
    virtual Record selectedRecord();
    // nullopt when the window has no selection to speak of.
    virtual std::optional<Records> selectedRecords() { return std::nullopt; }
    // forScript: an internal script asks (true) or the scripting interface.
    virtual Records listedRecords(bool /*forScript*/) { return {}; }
    // wholeTextIfEmpty: with an empty selection a window may answer the
    // whole text of the value being edited.
    virtual std::optional<std::string> selectedText(bool /*wholeTextIfEmpty*/) { return std::nullopt; }
    virtual void setSelectedText(const std::string&) {}
    virtual std::optional<TextRange> selectedTextRange() { return std::nullopt; }
    virtual void setSelectedTextRange(const TextRange&) {}
    virtual Array editingDetails() { return {}; }
    virtual void populateAlbum(RecordsList&) {}
    virtual Record keyRecord() { return selectedRecord(); }
    virtual std::optional<Records> keyRecords() { return selectedRecords(); }

protected:
    // Appends a separator, "Close Window" and "Quit" to the window's File
    // menu, so the program can be left from whichever window is in front.
    void addCloseAndQuitItems(QMenu& file);
};

}  // namespace kl
