#pragma once
// EditorDocument: the model every Kinlore Editor document shares, an
// ordered set of item lists (rootLevel) with the item being edited and the
// last search. Every change is undoable under a named action through the
// document's undo manager, whose history a successful save clears.
//
// Ownership: the document owns its lists; the current item is one of
// their items, held weakly. Main thread only.
#include <memory>
#include <string>
#include <vector>

#include "editor/ItemList.h"
#include "foundation/UndoManager.h"

namespace kl {

class EditorDocument {
public:
    using ListPtr = std::shared_ptr<ItemList>;

    EditorDocument() = default;
    virtual ~EditorDocument() = default;
    EditorDocument(const EditorDocument&) = delete;
    EditorDocument& operator=(const EditorDocument&) = delete;

    const std::vector<ListPtr>& rootLevel() const { return rootLevel_; }
    std::shared_ptr<Template> currentTemplate() const { return currentTemplate_.lock(); }
    // Clears templateChanged and shows the item's title ("" for none).
    void setCurrentTemplate(const std::shared_ptr<Template>& item);
    // The text the title field shows.
    const std::string& titleText() const { return titleText_; }
    bool templateChanged() const { return templateChanged_; }
    void setTemplateChanged(bool changed) { templateChanged_ = changed; }
    const std::string& searchText() const { return searchText_; }
    void setSearchText(std::string text) { searchText_ = std::move(text); }
    bool searchCaseSensitive() const { return searchCaseSensitive_; }
    void setSearchCaseSensitive(bool sensitive) { searchCaseSensitive_ = sensitive; }

    UndoManager& undoManager() { return undo_; }
    // Changes not yet saved, as the window's edited mark shows them.
    bool isDocumentEdited() const { return edited_; }
    void updateChangeCount(bool edited) { edited_ = edited; }

protected:
    std::vector<ListPtr> rootLevel_;

private:
    std::string titleText_;
    std::string searchText_;
    bool searchCaseSensitive_ = false;
    bool templateChanged_ = false;
    bool edited_ = false;
    std::weak_ptr<Template> currentTemplate_;
    UndoManager undo_;
};

}  // namespace kl
