#pragma once
// FormatWindow: the window of a format or extension document: the outline
// of its item lists beside the editor of the selected item (the coloured
// text view, a table of the item's properties, or an image). Edits of the
// shown item are taken into it whenever another item is shown or the
// document is saved. New, rename, delete and indent are item commands,
// each one undo step that stays undoable when another item is shown; the
// text view's own steps are dropped then.
//
// The questions it asks (a new item's name, the search text) go through
// Prompts, which the program fills with dialogs and tests with answers.
//
// Ownership: the document outlives the window (the document controller
// closes the window first). Main thread only.
#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/EditorCommands.h"
#include "editor/FormatDocument.h"
#include "editor/LanguageStrings.h"
#include "editor/PropertyTable.h"
#include "foundation/NotificationCenter.h"

class QAction;
class QLabel;
class QStackedWidget;
class QToolBar;
class QTreeView;

namespace kl {

class OutlineModel;
class ToolbarCustomizeDialog;
class PropertyTableView;
class WXColoredTextView;

class FormatWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Prompts {
        // The new-item sheet: the prompt; nullopt when cancelled.
        std::function<std::optional<QString>(const QString& prompt)> askName;
        // The search sheet: last text and case setting; nullopt when cancelled.
        std::function<std::optional<std::pair<QString, bool>>(const QString& text, bool caseSensitive)> askSearch;
        // A file to write ("txt"), under a panel title; nullopt when cancelled.
        std::function<std::optional<std::filesystem::path>(const QString& title)> savePath;
        // A table to import; nullopt when cancelled.
        std::function<std::optional<std::filesystem::path>()> importPath;
        // The import panel: its description and the last style; nullopt when cancelled.
        std::function<std::optional<ImportStyle>(const QString& description, ImportStyle last)> importStyle;
        // The synchronising alert; true for its Report button.
        std::function<bool(const QString& message, const QString& information)> wantsReport;
        // The import panel (several files); empty when cancelled.
        std::function<std::vector<std::filesystem::path>(const QString& title)> importFiles;
        // The export panel: the proposed name and starting folder; nullopt
        // when cancelled.
        std::function<std::optional<std::filesystem::path>(const QString& name, const QString& folder)> exportPath;
        std::function<void()> beep;
    };
    // A scripting command's failure: its error number and text.
    struct CommandError {
        int number = 0;
        std::string text;
    };
    using TemplatePtr = std::shared_ptr<Template>;
    // What New Script and Close Script do in the script workspace.
    struct WorkspaceCommands {
        std::function<void()> newScript;
        std::function<void()> closeScript;
    };

    explicit FormatWindow(FormatDocument& document, QWidget* parent = nullptr);
    ~FormatWindow() override;

    FormatDocument& document() const { return document_; }
    void setPrompts(Prompts prompts) { prompts_ = std::move(prompts); }
    void setWorkspaceCommands(WorkspaceCommands commands) { workspaceCommands_ = std::move(commands); }

    // ---- showing
    void updateDisplay();
    // Shows the current item again (in the colours of a new appearance).
    void reloadDisplay();
    void saveCurrentTemplate();
    // The item of the selected row; nullptr for a list row or none.
    TemplatePtr selectedTemplate() const;
    bool selectTemplate(const TemplatePtr& item, const ItemList* list);
    void initialSelect();

    // ---- item commands
    // Sorts an item into its list (appending it first when asked) and
    // selects it; removing is undoable as "Delete Template".
    void installTemplate(const TemplatePtr& item, ItemList* list, bool add);
    void removeTemplate(const TemplatePtr& item, ItemList* list);
    void newTemplate(int tag);
    void changeTemplateName(const std::string& name, const TemplatePtr& item);
    void deleteTemplate();
    // Sets an item's content undoably ("Replace Template"); a shown item is
    // shown again with its new content.
    void replaceObject(const Value& content, const TemplatePtr& item);
    // Option held: group boxes keep their lines.
    void indentTemplateCommands(bool option);
    // Tag 3007 adds a row to the table shown, any other deletes its selected row.
    void addDeleteProperty(int tag);
    void searchTemplates();

    // ---- files in and out of the package
    // Import Images... of a format, Import Files... of an extension.
    void importImage();
    void importImages(const std::vector<std::filesystem::path>& files);
    void importOtherFiles(const std::vector<std::filesystem::path>& files);
    // Copies the carried file selected in "other files" out of the package.
    void exportFile();
    // Kinlore II's "show template": selects the item of a list by names.
    std::optional<CommandError> showTemplateScriptCommand(const std::string& named, const std::string& typed);

    // ---- languages (formats only)
    void newLanguage();
    void synchronizeStrings();
    void exportLanguages();
    void importLanguages();
    void importLanguagesFrom(const std::filesystem::path& file);
    ImportStyle importStyle() const { return importStyle_; }
    void runSearch(const QString& text, bool caseSensitive);

    // ---- commands
    EditorCommandState commandState() const;
    // The menu or toolbar action of a tag; nullptr when there is none.
    QAction* commandAction(int tag) const;
    // Adds a menu item carrying a tag (data) to those validated; it must
    // live as long as the window (an item of the window's own menus).
    void addCommand(QAction* action);
    // Enables and titles every menu item and toolbar item.
    void validateCommands();

    QTreeView* outline() const { return outline_; }
    WXColoredTextView* textView() const { return textView_; }
    QLabel* imageView() const { return imageView_; }
    PropertyTableView* tableView(PropertyTable::Kind kind) const { return tables_[static_cast<int>(kind)]; }
    // The table in front; nullptr when the editor is not a table.
    PropertyTableView* shownTable() const;
    QToolBar* toolbar() const { return toolbar_; }
    // The toolbar's items in order, and the item of an identifier (nullptr
    // when the toolbar does not hold it).
    const std::vector<std::string>& toolbarItemIdentifiers() const { return toolbarItems_; }
    QAction* toolbarItem(const std::string& identifier) const;
    // Makes the toolbar's items again from the stored order.
    void rebuildToolbar();
    // Opens the customise dialog; accepting it stores the order and
    // rebuilds the toolbar of every document window.
    ToolbarCustomizeDialog* runCustomizationPalette();
    // Which editor is in front: the text view, the table or the image view.
    QWidget* currentEditor() const;

signals:
    // The document's edited state may have changed.
    void documentChanged();
    // Save and Run was chosen: the controller saves and hands the package on.
    void saveAndRunRequested();
    // Preview (tag 3011) or preview with the alternate style sheet (3013)
    // was chosen: the controller saves and opens the page.
    void previewRequested(int tag);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void runToolbarCommand(int tag);
    void showText(const Template& item);
    void showTable(const Template& item);
    void openOtherFile(const std::string& name);
    void clearEditors();
    void dropEditorUndo();
    void resetString(const TemplatePtr& item, const std::string& text);
    void renameTemplate(const TemplatePtr& item, const std::string& name, const std::string& actionName);
    // The outline's selected item and the list row it is under, taken
    // before the lists change, and given back to the reload to restore.
    using Selection = std::pair<TemplatePtr, const ItemList*>;
    Selection outlineSelection() const;
    void reloadOutline(const Selection& keep);
    void registerTextUndo(bool redo);
    void findSearchText();
    void selectPriorRange();
    ItemList* listOf(const TemplatePtr& item) const;
    ItemList* searchResults() const;
    void alertNameChange(const std::string& information);
    void changeLanguage(const TemplatePtr& item, const Dictionary& strings, const std::string& actionName);
    // The language of a name; made from "English" when asked and missing.
    TemplatePtr getLanguage(const std::string& name, bool create, const std::string& actionName);
    // A new language, a copy of "English" named after itself, installed undoably.
    TemplatePtr makeLanguage(const std::string& name, const std::string& actionName);
    std::vector<Language> languages() const;
    void criticalSheet(const std::string& message, const std::string& information);
    void beep() const;
    // The extension's "other files" item; nullptr in a format.
    TemplatePtr otherFilesItem() const;
    bool carryFile(const std::filesystem::path& file, const std::string& name);

    FormatDocument& document_;
    Prompts prompts_;
    WorkspaceCommands workspaceCommands_;
    OutlineModel* model_;
    QTreeView* outline_;
    QStackedWidget* editors_;
    WXColoredTextView* textView_;
    PropertyTableView* tables_[4] = {};
    bool tableChangedWhileLoading_ = false;
    ImportStyle importStyle_ = ImportStyle::Merge;
    Observation appearanceChange_;
    QLabel* imageView_;
    QToolBar* toolbar_ = nullptr;
    std::vector<std::string> toolbarItems_;
    std::vector<QAction*> commands_;
    bool loading_ = false;
};

}  // namespace kl
