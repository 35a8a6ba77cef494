#include "editor/ui/FormatWindow.h"

#include <QAbstractItemModel>
#include <QBrush>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QDesktopServices>
#include <QUrl>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <algorithm>
#include <fstream>
#include <unordered_set>

#include "app/ui/AppAlerts.h"
#include "app/ui/EditMenu.h"
#include "editor/SyntaxColorizer.h"
#include "editor/TextEditing.h"
#include "editor/EditorResources.h"
#include "editor/FormatToolbar.h"
#include "editor/ScriptEditingDocument.h"
#include "index/ui/ToolbarCustomizeDialog.h"
#include "foundation/UserDefaults.h"
#include "foundation/PropertyList.h"
#include "foundation/ResourceFolder.h"
#include "editor/ui/LineFinder.h"
#include "editor/ui/PropertyTableView.h"
#include "editor/ui/QtImagePort.h"
#include "editor/ui/WXColoredTextView.h"

namespace kl {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// Kinds of text shown without wrapping: program texts, whose lines matter.
bool unwrappedKind(const std::string& kind) {
    return kind == "py" || kind == "applescript" || kind == "txt" || kind == "klscpt" || kind == "css" || kind.empty();
}

std::string plainText(const QPlainTextEdit& view) { return view.toPlainText().toStdString(); }

}  // namespace

// The outline: the document's lists at the top level, their items below.
// A list row's internal id is 0; an item row's is its list's row + 1.
class OutlineModel : public QAbstractItemModel {
public:
    OutlineModel(FormatWindow& window, FormatDocument& document) : window_(window), document_(document) {}

    ItemList* listAt(const QModelIndex& index) const {
        if (!index.isValid() || index.internalId() != 0) return nullptr;
        return document_.rootLevel().at(static_cast<std::size_t>(index.row())).get();
    }
    ItemList* parentListOf(const QModelIndex& index) const {
        if (!index.isValid() || index.internalId() == 0) return nullptr;
        return document_.rootLevel().at(index.internalId() - 1).get();
    }
    std::shared_ptr<Template> itemAt(const QModelIndex& index) const {
        ItemList* list = parentListOf(index);
        return list ? list->objectAtIndex(static_cast<std::size_t>(index.row())) : nullptr;
    }
    QModelIndex indexOfList(const ItemList* list) const {
        const auto& lists = document_.rootLevel();
        for (std::size_t i = 0; i < lists.size(); ++i)
            if (lists[i].get() == list) return createIndex(static_cast<int>(i), 0, quintptr(0));
        return {};
    }
    QModelIndex indexOfItem(const std::shared_ptr<Template>& item, const ItemList* list) const {
        const QModelIndex parent = indexOfList(list);
        if (!parent.isValid()) return {};
        const auto& items = list->templates();
        const auto found = std::find(items.begin(), items.end(), item);
        if (found == items.end()) return {};
        return createIndex(static_cast<int>(found - items.begin()), 0, quintptr(parent.row() + 1));
    }
    void reload() {
        beginResetModel();
        endResetModel();
    }

    QModelIndex index(int row, int column, const QModelIndex& parent) const override {
        if (column != 0 || row < 0) return {};
        if (!parent.isValid()) {
            if (static_cast<std::size_t>(row) >= document_.rootLevel().size()) return {};
            return createIndex(row, 0, quintptr(0));
        }
        const ItemList* list = listAt(parent);
        if (!list || static_cast<std::size_t>(row) >= list->count()) return {};
        return createIndex(row, 0, quintptr(parent.row() + 1));
    }
    QModelIndex parent(const QModelIndex& child) const override {
        if (!child.isValid() || child.internalId() == 0) return {};
        return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr(0));
    }
    int rowCount(const QModelIndex& parent) const override {
        if (!parent.isValid()) return static_cast<int>(document_.rootLevel().size());
        const ItemList* list = listAt(parent);
        return list ? static_cast<int>(list->count()) : 0;
    }
    int columnCount(const QModelIndex&) const override { return 1; }
    QVariant data(const QModelIndex& index, int role) const override {
        // A workspace script with unsaved changes shows in red.
        if (role == Qt::ForegroundRole) {
            const auto item = itemAt(index);
            if (document_.isScriptEditor() && item && !item->scriptSaved()) return QBrush(Qt::red);
            return {};
        }
        if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
        if (const ItemList* list = listAt(index)) return qs(list->name());
        if (const auto item = itemAt(index)) return qs(item->name());
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        const auto item = itemAt(index);
        // Workspace scripts take their names from their files.
        if (item && item->canDelete() && !document_.isScriptEditor()) flags |= Qt::ItemIsEditable;
        return flags;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        const auto item = itemAt(index);
        if (role != Qt::EditRole || !item) return false;
        // The rename reloads the outline: let the editor close first.
        const std::string name = value.toString().toStdString();
        std::weak_ptr<Template> weak = item;
        QTimer::singleShot(0, &window_, [this, name, weak] {
            if (const auto target = weak.lock()) window_.changeTemplateName(name, target);
        });
        return false;
    }

private:
    FormatWindow& window_;
    FormatDocument& document_;
};

FormatWindow::FormatWindow(FormatDocument& document, QWidget* parent)
    : QMainWindow(parent), document_(document), model_(new OutlineModel(*this, document)) {
    setObjectName("GEDCOMEditorWindow");
    model_->setParent(this);
    auto* splitter = new QSplitter(this);
    outline_ = new QTreeView(splitter);
    outline_->setModel(model_);
    outline_->setHeaderHidden(true);
    outline_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    outline_->installEventFilter(this);
    editors_ = new QStackedWidget(splitter);
    textView_ = new WXColoredTextView(editors_);
    textView_->setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    textView_->setTrackIndents(true);
    textView_->setTabReplacement(QString("    "));
    textView_->installEventFilter(this);
    imageView_ = new QLabel(editors_);
    imageView_->setAlignment(Qt::AlignCenter);
    editors_->addWidget(textView_);
    for (const PropertyTable::Kind kind : {PropertyTable::Kind::Properties, PropertyTable::Kind::Variables,
                                           PropertyTable::Kind::Colors, PropertyTable::Kind::Fonts}) {
        auto* table = new PropertyTableView(kind, document_.undoManager(), [this] {
            if (loading_) {
                tableChangedWhileLoading_ = true;
                return;
            }
            document_.setTemplateChanged(true);
            if (!document_.isDocumentEdited()) {
                document_.updateChangeCount(true);
                emit documentChanged();
            }
        }, editors_);
        table->prompts().openOtherFile = [this](const std::string& name) { openOtherFile(name); };
        tables_[static_cast<int>(kind)] = table;
        editors_->addWidget(table);
    }
    for (PropertyTableView* table : tables_) {
        connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { validateCommands(); });
    }
    editors_->addWidget(imageView_);
    splitter->addWidget(outline_);
    splitter->addWidget(editors_);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({240, 720});
    setCentralWidget(splitter);
    resize(980, 640);
    textView_->setReadOnly(true);

    connect(outline_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!loading_) updateDisplay();
    });
    connect(textView_, &QPlainTextEdit::textChanged, this, [this] {
        const TemplatePtr current = document_.currentTemplate();
        if (loading_ || !current) return;
        if (document_.isScriptEditor() && current->scriptSaved()) {
            current->setScriptSaved(false);
            outline_->viewport()->update();
        }
        document_.setTemplateChanged(true);
        if (!document_.isDocumentEdited()) {
            document_.updateChangeCount(true);
            emit documentChanged();
        }
    });
    // Each step of the view's own history is one step of the document's,
    // aimed at the view so that showing another item drops it.
    connect(textView_->document(), &QTextDocument::undoCommandAdded, this, [this] {
        if (!loading_) registerTextUndo(false);
    });
    document_.undoManager().setChangeObserver([this](UndoManager::Change change) {
        document_.updateChangeCount(change != UndoManager::Change::Undone || document_.undoManager().canUndo());
        emit documentChanged();
        validateCommands();
    });
    buildMenus();
    buildToolbar();
    prompts_.askName = [this](const QString& prompt) -> std::optional<QString> {
        bool ok = false;
        const QString name = QInputDialog::getText(this, windowTitle(), prompt, QLineEdit::Normal, {}, &ok);
        return ok ? std::optional<QString>(name) : std::nullopt;
    };
    prompts_.askSearch = [this](const QString& text, bool caseSensitive) -> std::optional<std::pair<QString, bool>> {
        QDialog sheet(this);
        sheet.setWindowTitle(tr("Search"));
        auto* field = new QLineEdit(text, &sheet);
        field->selectAll();
        auto* exact = new QCheckBox(tr("Case sensitive"), &sheet);
        exact->setChecked(caseSensitive);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &sheet);
        connect(buttons, &QDialogButtonBox::accepted, &sheet, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &sheet, &QDialog::reject);
        auto* layout = new QVBoxLayout(&sheet);
        layout->addWidget(new QLabel(tr("Search for:"), &sheet));
        layout->addWidget(field);
        layout->addWidget(exact);
        layout->addWidget(buttons);
        if (sheet.exec() != QDialog::Accepted) return std::nullopt;
        return std::make_pair(field->text(), exact->isChecked());
    };
    prompts_.savePath = [this](const QString& title) -> std::optional<std::filesystem::path> {
        const QString file = QFileDialog::getSaveFileName(this, title, {}, tr("Text (*.txt)"));
        if (file.isEmpty()) return std::nullopt;
        return std::filesystem::path(file.toStdString());
    };
    prompts_.importPath = [this]() -> std::optional<std::filesystem::path> {
        const QString file = QFileDialog::getOpenFileName(this, tr("Import Languages"), {}, tr("Tables (*.txt *.tsv *.text)"));
        if (file.isEmpty()) return std::nullopt;
        return std::filesystem::path(file.toStdString());
    };
    prompts_.importStyle = [this](const QString& description, ImportStyle last) -> std::optional<ImportStyle> {
        const QStringList styles{tr("Replace all strings"), tr("Merge: imported strings replace existing ones"),
                                 tr("Add only strings a language lacks")};
        bool ok = false;
        const QString chosen = QInputDialog::getItem(this, tr("Import Languages"), description, styles,
                                                     static_cast<int>(last), false, &ok);
        if (!ok) return std::nullopt;
        return static_cast<ImportStyle>(styles.indexOf(chosen));
    };
    prompts_.importFiles = [this](const QString& title) {
        std::vector<std::filesystem::path> files;
        for (const QString& file : QFileDialog::getOpenFileNames(this, title)) files.emplace_back(file.toStdString());
        return files;
    };
    prompts_.exportPath = [this](const QString& name, const QString& folder) -> std::optional<std::filesystem::path> {
        const QString start = folder.isEmpty() ? name : folder + "/" + name;
        const QString file = QFileDialog::getSaveFileName(this, tr("Export Other File"), start);
        if (file.isEmpty()) return std::nullopt;
        return std::filesystem::path(file.toStdString());
    };
    prompts_.wantsReport = [](const QString& message, const QString& information) {
        return AppAlerts::runCriticalAlert(message.toStdString(), information.toStdString(), "OK", "Report") == 1001;
    };
    appearanceChange_ = NotificationCenter::defaultCenter().addObserver("KXLightDarkModeChange", nullptr,
                                                                        [this](const Notification&) { reloadDisplay(); });
    validateCommands();
}

FormatWindow::~FormatWindow() {
    document_.undoManager().setChangeObserver(nullptr);
    dropEditorUndo();
}

// ---- menus and toolbar -----------------------------------------------------

void FormatWindow::buildMenus() {
    QMenu* edit = EditMenu::addEditMenu(*this, document_.undoManager());
    auto command = [this](QMenu* menu, const QString& title, int tag, std::function<void()> run,
                          QKeySequence key = {}) {
        QAction* action = menu->addAction(title);
        action->setData(tag);
        if (!key.isEmpty()) action->setShortcut(key);
        connect(action, &QAction::triggered, this, [run] { run(); });
        commands_.push_back(action);
        return action;
    };
    command(edit, tr("Delete Template"), DeleteTemplateTag, [this] { deleteTemplate(); });
    command(edit, tr("Indent Template Commands"), IndentTag, [this] {
        indentTemplateCommands(QApplication::queryKeyboardModifiers() & Qt::AltModifier);
    });
    edit->addSeparator();
    command(edit, tr("Search Templates..."), SearchTag, [this] { searchTemplates(); },
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    LineFinder::sharedInstance().addMenuItem(*edit);
    QMenu* templates = menuBar()->addMenu(tr("&Templates"));
    command(templates, tr("New Record Editing..."), NewRecordTag, [this] { newTemplate(NewRecordTag); });
    command(templates, tr("New Tag Editing..."), NewTagTag, [this] { newTemplate(NewTagTag); });
    command(templates, tr("New Subroutine/Script..."), NewSubroutineTag, [this] { newTemplate(NewSubroutineTag); });
    command(templates, tr("New Documentation File..."), NewDocumentationTag,
            [this] { newTemplate(NewDocumentationTag); });
    templates->addSeparator();
    command(templates, tr("Add Property"), AddPropertyTag, [this] { addDeleteProperty(AddPropertyTag); });
    command(templates, tr("Delete Property"), DeletePropertyTag, [this] { addDeleteProperty(DeletePropertyTag); });
    templates->addSeparator();
    command(templates, tr("Import Images..."), ImportTag, [this] { importImage(); });
    command(templates, tr("Export Other File..."), ExportOtherFileTag, [this] { exportFile(); });
    command(templates, tr("Preview in Browser"), PreviewTag, [this] { emit previewRequested(PreviewTag); });
    command(templates, tr("Preview with Alternate Style"), PreviewOtherTag,
            [this] { emit previewRequested(PreviewOtherTag); });
    QMenu* languages = menuBar()->addMenu(tr("&Languages"));
    command(languages, tr("New Language..."), NewLanguageTag, [this] { newLanguage(); });
    command(languages, tr("Synchronize Strings"), SynchronizeLanguagesTag, [this] { synchronizeStrings(); });
    command(languages, tr("Export Languages..."), ExportLanguagesTag, [this] { exportLanguages(); });
    command(languages, tr("Import Languages..."), ImportLanguagesTag, [this] { importLanguages(); });
    QMenu* view = menuBar()->addMenu(tr("&View"));
    QAction* customize = view->addAction(tr("Customize Toolbar..."));
    connect(customize, &QAction::triggered, this, [this] { runCustomizationPalette(); });
    for (QMenu* menu : {edit, templates, languages}) connect(menu, &QMenu::aboutToShow, this, [this] { validateCommands(); });
}

void FormatWindow::buildToolbar() {
    toolbar_ = addToolBar(tr("Toolbar"));
    toolbar_->setObjectName(FormatToolbar::kIdentifier);
    toolbar_->setMovable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolbar_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(toolbar_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu;
        menu.addAction(tr("Customize Toolbar..."), this, [this] { runCustomizationPalette(); });
        menu.exec(toolbar_->mapToGlobal(at));
    });
    rebuildToolbar();
}

void FormatWindow::rebuildToolbar() {
    for (QAction* action : toolbar_->actions()) {
        if (!action->property("toolbarItem").isValid()) continue;
        commands_.erase(std::remove(commands_.begin(), commands_.end(), action), commands_.end());
        toolbar_->removeAction(action);
        delete action;
    }
    toolbarItems_.clear();
    for (const std::string& id : FormatToolbar::items().itemIdentifiers(UserDefaults::standard())) {
        QAction* action = nullptr;
        const ToolbarItemSpec spec = FormatToolbar::itemForItemIdentifier(id);
        const ToolbarItemSpec* item = spec.tag != 0 ? &spec : nullptr;
        if (id == IndexToolbar::kSeparator) {
            action = toolbar_->addSeparator();
        } else if (id == IndexToolbar::kSpace || id == IndexToolbar::kFlexibleSpace) {
            auto* space = new QWidget;
            space->setMinimumWidth(8);
            space->setSizePolicy(id == IndexToolbar::kFlexibleSpace ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                                 QSizePolicy::Preferred);
            action = toolbar_->addWidget(space);
        } else if (id == IndexToolbar::kCustomize) {
            action = toolbar_->addAction(tr("Customize"));
            connect(action, &QAction::triggered, this, [this] { runCustomizationPalette(); });
        } else if (item) {
            action = toolbar_->addAction(tr(item->label.c_str()));
            action->setData(item->tag);
            action->setToolTip(tr(item->toolTip.c_str()));
            const int tag = item->tag;
            connect(action, &QAction::triggered, this, [this, tag] { runToolbarCommand(tag); });
            commands_.push_back(action);
        } else {
            continue;
        }
        action->setObjectName(QString::fromStdString(id));
        action->setProperty("toolbarItem", true);
        toolbarItems_.push_back(id);
    }
    validateCommands();
}

void FormatWindow::runToolbarCommand(int tag) {
    if (tag == SaveAndRunTag)
        emit saveAndRunRequested();
    else if (tag == SearchTag)
        searchTemplates();
    else if (tag == AddPropertyTag || tag == DeletePropertyTag)
        addDeleteProperty(tag);
    else
        newTemplate(tag);
}

QAction* FormatWindow::toolbarItem(const std::string& identifier) const {
    for (QAction* action : toolbar_->actions())
        if (action->property("toolbarItem").isValid() && action->objectName().toStdString() == identifier)
            return action;
    return nullptr;
}

ToolbarCustomizeDialog* FormatWindow::runCustomizationPalette() {
    auto* dialog = new ToolbarCustomizeDialog(toolbarItems_, this, FormatToolbar::items());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::accepted, this, [dialog] {
        FormatToolbar::items().saveItemIdentifiers(UserDefaults::standard(), dialog->itemIdentifiers());
        // Every document window shows the same toolbar.
        std::vector<QPointer<FormatWindow>> windows;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<FormatWindow*>(widget)) windows.emplace_back(window);
        for (const auto& window : windows)
            if (window) window->rebuildToolbar();
    });
    dialog->open();
    return dialog;
}

EditorCommandState FormatWindow::commandState() const {
    EditorCommandState state;
    state.workspace = document_.isScriptEditor();
    state.plugin = document_.fileType() == FormatDocument::pluginType;
    state.hasFile = document_.fileURL().has_value();
    if (const auto current = document_.currentTemplate()) {
        state.currentType = current->type();
        state.currentHasScriptPath = !current->scriptPath().empty();
        state.currentCanDelete = current->canDelete();
        state.currentCanPreview = current->canPreview();
        state.currentKind = current->templateExtension();
        state.currentIsOtherFiles = current->name() == "other files";
        state.tableRowSelected = shownTable() && shownTable()->selectedRow().has_value();
    }
    return state;
}

QAction* FormatWindow::commandAction(int tag) const {
    for (QAction* action : commands_)
        if (action->data().toInt() == tag && !action->property("toolbarItem").toBool()) return action;
    for (QAction* action : commands_)
        if (action->data().toInt() == tag) return action;
    return nullptr;
}

void FormatWindow::addCommand(QAction* action) {
    commands_.push_back(action);
    validateCommands();
}

void FormatWindow::validateCommands() {
    const EditorCommandState state = commandState();
    for (QAction* action : commands_) {
        const CommandValidation answer = validateCommandTag(action->data().toInt(), state);
        action->setEnabled(answer.enabled);
        // Toolbar items keep their labels.
        if (answer.title && !action->property("toolbarItem").toBool()) action->setText(qs(*answer.title));
    }
}

// ---- showing ---------------------------------------------------------------

QWidget* FormatWindow::currentEditor() const { return editors_->currentWidget(); }

FormatWindow::TemplatePtr FormatWindow::selectedTemplate() const {
    const QModelIndexList rows = outline_->selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : model_->itemAt(rows.first());
}

void FormatWindow::saveCurrentTemplate() {
    const auto current = document_.currentTemplate();
    if (!current || !document_.templateChanged()) return;
    if (current->type() <= WorkspaceScriptType) {
        current->setTemplateObject(Value(plainText(*textView_)));
        const QTextCursor cursor = textView_->textCursor();
        current->setSelectedRange({static_cast<std::size_t>(cursor.selectionStart()),
                                   static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart())});
    } else if (current->type() < ImageType) {
        if (PropertyTableView* table = shownTable()) current->setTemplateObject(table->table().makeDictionary());
    }
    document_.setTemplateChanged(false);
    document_.updateChangeCount(true);
    emit documentChanged();
}

void FormatWindow::updateDisplay() {
    const TemplatePtr item = selectedTemplate();
    if (!item) return;
    saveCurrentTemplate();
    if (const auto current = document_.currentTemplate()) {
        const QTextCursor cursor = textView_->textCursor();
        current->setSelectedRange({static_cast<std::size_t>(cursor.selectionStart()),
                                   static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart())});
    }
    loading_ = true;
    tableChangedWhileLoading_ = false;
    if (item->type() <= WorkspaceScriptType) {
        showText(*item);
    } else {
        textView_->setPlainText({});
        if (item->type() < ImageType) {
            showTable(*item);
        } else {
            const auto image = item->templateObject().objectAs<QtImage>();
            imageView_->setPixmap(image ? QPixmap::fromImage(image->image) : QPixmap());
            editors_->setCurrentWidget(imageView_);
        }
    }
    textView_->setReadOnly(!item->canSaveChanges());
    loading_ = false;
    dropEditorUndo();
    document_.setCurrentTemplate(item);
    // Loading variables renumbers their order: a change, though not undoable.
    if (tableChangedWhileLoading_) document_.setTemplateChanged(true);
    validateCommands();
    if (item->type() <= WorkspaceScriptType) {
        const QModelIndexList rows = outline_->selectionModel()->selectedRows();
        const bool fromSearch = !rows.isEmpty() && model_->parentListOf(rows.first()) == searchResults();
        if (fromSearch) {
            textView_->setFocus();
            QTimer::singleShot(0, this, [this] { findSearchText(); });
        } else {
            QTimer::singleShot(0, this, [this] { selectPriorRange(); });
        }
    }
}

void FormatWindow::reloadDisplay() {
    const TemplatePtr current = document_.currentTemplate();
    if (!current) return;
    saveCurrentTemplate();
    const QTextCursor cursor = textView_->textCursor();
    const int anchor = cursor.anchor();
    const int position = cursor.position();
    loading_ = true;
    if (current->type() <= WorkspaceScriptType) {
        showText(*current);
        QTextCursor restored = textView_->textCursor();
        const int size = textView_->document()->characterCount() - 1;
        restored.setPosition(std::min(anchor, size));
        restored.setPosition(std::min(position, size), QTextCursor::KeepAnchor);
        textView_->setTextCursor(restored);
    } else if (current->type() < ImageType) {
        showTable(*current);
    }
    loading_ = false;
    dropEditorUndo();
}

void FormatWindow::showText(const Template& item) {
    const std::string kind = item.templateExtension();
    textView_->setColorComponents(SyntaxColorizer::componentsForKind(kind, AppAlerts::isDarkMode()));
    textView_->setLineWrapMode(unwrappedKind(kind) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    textView_->setString(qs(item.text()));
    editors_->setCurrentWidget(textView_);
}

PropertyTableView* FormatWindow::shownTable() const {
    return qobject_cast<PropertyTableView*>(editors_->currentWidget());
}

void FormatWindow::showTable(const Template& item) {
    PropertyTable::Kind kind = PropertyTable::Kind::Properties;
    switch (item.type()) {
    case EditingColorsType: kind = PropertyTable::Kind::Colors; break;
    case EditingFontsType: kind = PropertyTable::Kind::Fonts; break;
    case EditingPropertiesType: kind = PropertyTable::Kind::Variables; break;
    default: break;
    }
    PropertyTableView* table = tableView(kind);
    table->installDictionary(item.templateObject(), item.name(), item.isPlugin());
    editors_->setCurrentWidget(table);
}

void FormatWindow::openOtherFile(const std::string& name) {
    bool opened = false;
    if (document_.fileURL()) {
        const std::filesystem::path file = *document_.fileURL() / name;
        opened = std::filesystem::exists(file) &&
                 QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
    }
    if (!opened)
        AppAlerts::simpleOKAlert("The file manager was not able to open the clicked other file.",
                                 "Error opening othe file named '" + name + "'.", this, AlertButtons::Critical);
}

void FormatWindow::clearEditors() {
    loading_ = true;
    textView_->setPlainText({});
    textView_->setReadOnly(true);
    for (PropertyTableView* table : tables_) table->installDictionary(Value(), {}, false);
    imageView_->clear();
    loading_ = false;
    dropEditorUndo();
}

void FormatWindow::dropEditorUndo() {
    document_.undoManager().removeAllActionsWithTarget(textView_);
    for (PropertyTableView* table : tables_) document_.undoManager().removeAllActionsWithTarget(&table->table());
}

void FormatWindow::registerTextUndo(bool redo) {
    QPointer<WXColoredTextView> view = textView_;
    document_.undoManager().registerUndo(textView_, [this, view, redo] {
        if (!view) return;
        loading_ = true;
        if (redo)
            view->redo();
        else
            view->undo();
        loading_ = false;
        document_.setTemplateChanged(true);
        registerTextUndo(!redo);
    });
    document_.undoManager().setActionName(tr("Typing").toStdString());
}

bool FormatWindow::selectTemplate(const TemplatePtr& item, const ItemList* list) {
    const QModelIndex index = model_->indexOfItem(item, list);
    if (!index.isValid()) return false;
    outline_->expand(index.parent());
    outline_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    outline_->setCurrentIndex(index);
    outline_->scrollTo(index);
    return true;
}

void FormatWindow::initialSelect() {
    if (document_.isScriptEditor()) return;
    ItemList* list = document_.listForName("Record Editing");
    if (!list) return;
    TemplatePtr item = list->objectNamed("INDI Record Editing");
    if (!item) item = list->objectAtIndex(0);
    if (item) selectTemplate(item, list);
}

FormatWindow::Selection FormatWindow::outlineSelection() const {
    const QModelIndexList rows = outline_->selectionModel()->selectedRows();
    if (rows.isEmpty()) return {};
    return {model_->itemAt(rows.first()), model_->parentListOf(rows.first())};
}

void FormatWindow::reloadOutline(const Selection& keep) {
    std::vector<const ItemList*> expanded;
    for (const auto& list : document_.rootLevel())
        if (outline_->isExpanded(model_->indexOfList(list.get()))) expanded.push_back(list.get());
    const TemplatePtr& selected = keep.first;
    const ItemList* selectedList = keep.second;
    loading_ = true;
    model_->reload();
    for (const ItemList* list : expanded) outline_->expand(model_->indexOfList(list));
    const QModelIndex index = selected ? model_->indexOfItem(selected, selectedList) : QModelIndex();
    if (index.isValid()) {
        outline_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        // A removed item leaves no row selected, so nothing else is shown.
        outline_->selectionModel()->clear();
    }
    loading_ = false;
}

ItemList* FormatWindow::listOf(const TemplatePtr& item) const {
    for (const auto& list : document_.rootLevel()) {
        if (list->type() == SearchResultsType) continue;
        const auto& items = list->templates();
        if (std::find(items.begin(), items.end(), item) != items.end()) return list.get();
    }
    return nullptr;
}

ItemList* FormatWindow::searchResults() const {
    for (const auto& list : document_.rootLevel())
        if (list->type() == SearchResultsType) return list.get();
    return nullptr;
}

// ---- item commands ---------------------------------------------------------

void FormatWindow::installTemplate(const TemplatePtr& item, ItemList* list, bool add) {
    const Selection before = outlineSelection();
    if (add) list->addTemplate(item);
    list->sortTemplate(item);
    reloadOutline(before);
    outline_->clearSelection();
    selectTemplate(item, list);
}

void FormatWindow::removeTemplate(const TemplatePtr& item, ItemList* list) {
    UndoManager& undo = document_.undoManager();
    undo.registerUndo(&document_, [this, item, list] {
        installTemplate(item, list, true);
        document_.undoManager().registerUndo(&document_, [this, item, list] { removeTemplate(item, list); });
        document_.undoManager().setActionName(tr("Delete Template").toStdString());
    });
    Selection keep = outlineSelection();
    if (keep.first == item) keep = {};
    list->deleteTemplate(item);
    if (ItemList* results = searchResults()) results->deleteTemplate(item);
    undo.setActionName(tr("Delete Template").toStdString());
    if (document_.currentTemplate() == item) {
        document_.setCurrentTemplate(nullptr);
        clearEditors();
    }
    reloadOutline(keep);
    updateDisplay();
    validateCommands();
}

void FormatWindow::newTemplate(int tag) {
    if (!validateCommandTag(tag, commandState()).enabled) return;
    if (document_.isScriptEditor()) {
        if (workspaceCommands_.newScript) workspaceCommands_.newScript();
        return;
    }
    const std::int32_t type = tag - NewRecordTag;
    ItemList* list = document_.listForType(type);
    if (!list || !prompts_.askName) return;
    const bool plugin = document_.fileType() == FormatDocument::pluginType;
    const std::optional<QString> name = prompts_.askName(qs(ItemList::promptForType(type, plugin)));
    if (!name) return;
    std::string error;
    const TemplatePtr item = list->createTemplate(std::nullopt, name->toStdString(), &error);
    if (!item) {
        AppAlerts::simpleOKAlert(tr("The template could not be created").toStdString(), error, this,
                                 AlertButtons::Critical);
        return;
    }
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    undo.registerUndo(&document_, [this, item, list] { removeTemplate(item, list); });
    installTemplate(item, list, false);
    undo.setActionName(tr("New Template").toStdString());
    undo.endUndoGrouping();
}

void FormatWindow::alertNameChange(const std::string& information) {
    AppAlerts::simpleOKAlert("The template name could not be changed", information, this, AlertButtons::Critical);
}

void FormatWindow::changeTemplateName(const std::string& name, const TemplatePtr& item) {
    if (!item || item->name() == name) return;
    if (auto* workspace = dynamic_cast<ScriptEditingDocument*>(&document_)) {
        // Any name: a script is named after the file it was saved to.
        const QModelIndex before = model_->indexOfItem(item, &workspace->scripts());
        const Selection keep = outlineSelection();
        workspace->renameScript(item, name);
        reloadOutline(keep);
        if (model_->indexOfItem(item, &workspace->scripts()).row() != before.row() || keep.first != item) {
            outline_->clearSelection();
            selectTemplate(item, &workspace->scripts());
        } else {
            outline_->viewport()->update();
        }
        return;
    }
    std::string error;
    const std::optional<std::string> valid = item->validName(name, &error);
    if (!valid) {
        alertNameChange(error);
        return;
    }
    ItemList* list = listOf(item);
    if (!list) return;
    if (*valid != item->name() && !list->uniqueName(*valid)) {
        alertNameChange("Names must be unique and the new name already exists.");
        return;
    }
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    renameTemplate(item, *valid, tr("Template Name Change").toStdString());
    undo.endUndoGrouping();
}

void FormatWindow::renameTemplate(const TemplatePtr& item, const std::string& name, const std::string& actionName) {
    ItemList* list = listOf(item);
    if (!list) return;
    const std::string old = item->name();
    document_.undoManager().registerUndo(&document_,
                                         [this, item, old, actionName] { renameTemplate(item, old, actionName); });
    const QModelIndex before = model_->indexOfItem(item, list);
    const Selection keep = outlineSelection();
    const bool wasSelected = keep.first == item;
    item->setName(name);
    document_.undoManager().setActionName(actionName);
    list->sortTemplate(item);
    reloadOutline(keep);
    const QModelIndex after = model_->indexOfItem(item, list);
    if (after.row() != before.row() || !wasSelected) {
        outline_->clearSelection();
        selectTemplate(item, list);
    } else {
        updateDisplay();
    }
    if (document_.currentTemplate() == item) document_.setCurrentTemplate(item);
}

void FormatWindow::deleteTemplate() {
    if (document_.isScriptEditor()) {
        if (workspaceCommands_.closeScript) workspaceCommands_.closeScript();
        return;
    }
    const TemplatePtr current = document_.currentTemplate();
    if (!current || !current->canDelete()) {
        QApplication::beep();
        return;
    }
    ItemList* list = listOf(current);
    if (!list) return;
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    removeTemplate(current, list);
    undo.endUndoGrouping();
}

void FormatWindow::replaceObject(const Value& content, const TemplatePtr& item) {
    UndoManager& undo = document_.undoManager();
    const Value old = item->templateObject();
    undo.registerUndo(&document_, [this, old, item] { replaceObject(old, item); });
    item->setTemplateObject(content);
    undo.setActionName(tr("Replace Template").toStdString());
    document_.updateChangeCount(true);
    emit documentChanged();
    if (document_.currentTemplate() == item) {
        // What the editor held is the old content: it must not be taken
        // back into the item over the new one.
        document_.setTemplateChanged(false);
        document_.setCurrentTemplate(nullptr);
        clearEditors();
    }
    reloadOutline(outlineSelection());
    updateDisplay();
    validateCommands();
}

void FormatWindow::indentTemplateCommands(bool option) {
    const TemplatePtr current = document_.currentTemplate();
    if (!current || !validateCommandTag(IndentTag, commandState()).enabled) return;
    saveCurrentTemplate();
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    const std::string before = current->text();
    undo.registerUndo(&document_, [this, current, before] { resetString(current, before); });
    loading_ = true;
    textView_->indentCommands(QString("  "), templateIndentKeywords(option));
    loading_ = false;
    dropEditorUndo();
    document_.setTemplateChanged(true);
    saveCurrentTemplate();
    undo.setActionName(tr("Indent Template Commands").toStdString());
    undo.endUndoGrouping();
}

void FormatWindow::resetString(const TemplatePtr& item, const std::string& text) {
    saveCurrentTemplate();
    const std::string present = item->text();
    document_.undoManager().registerUndo(&document_, [this, item, present] { resetString(item, present); });
    item->setTemplateObject(Value(text));
    document_.undoManager().setActionName(tr("Indent Template Commands").toStdString());
    if (document_.currentTemplate() == item) {
        loading_ = true;
        textView_->setString(qs(text));
        loading_ = false;
        dropEditorUndo();
    } else if (ItemList* list = listOf(item)) {
        selectTemplate(item, list);
    }
}

void FormatWindow::addDeleteProperty(int tag) {
    PropertyTableView* table = shownTable();
    if (!table || !validateCommandTag(tag, commandState()).enabled) {
        QApplication::beep();
        return;
    }
    table->addDeleteRow(tag == AddPropertyTag);
    validateCommands();
}

// ---- search ----------------------------------------------------------------

void FormatWindow::searchTemplates() {
    if (!prompts_.askSearch) return;
    const auto answer = prompts_.askSearch(qs(document_.searchText()), document_.searchCaseSensitive());
    if (answer) runSearch(answer->first, answer->second);
}

void FormatWindow::runSearch(const QString& text, bool caseSensitive) {
    document_.setSearchText(text.toStdString());
    document_.setSearchCaseSensitive(caseSensitive);
    ItemList* results = searchResults();
    if (!results) return;
    saveCurrentTemplate();
    Selection keep = outlineSelection();
    if (keep.second == results) keep = {};
    results->clear();
    const bool plugin = document_.fileType() == FormatDocument::pluginType;
    std::vector<std::string> names;
    if (document_.isScriptEditor())
        names = {"Scripts"};
    else if (plugin)
        names = {"Text Files", "Scripts", "Documentation"};
    else
        names = {"Record Editing", "Tag Editing", "Subroutines", "Documentation"};
    for (const std::string& name : names)
        if (const ItemList* list = document_.listForName(name))
            list->searchFor(document_.searchText(), caseSensitive, *results);
    const QModelIndex resultsRow = model_->indexOfList(results);
    if (results->count() == 0) {
        outline_->collapse(resultsRow);
        reloadOutline(keep);
        const QString information = tr("The text '%1' was not found in any %2.")
                                        .arg(text, document_.isScriptEditor() ? tr("script") : tr("template"));
        AppAlerts::simpleOKAlert(tr("No results found").toStdString(), information.toStdString(), this,
                                 AlertButtons::Informational);
        return;
    }
    reloadOutline(keep);
    outline_->expand(model_->indexOfList(results));
    outline_->clearSelection();
    selectTemplate(results->objectAtIndex(0), results);
}

void FormatWindow::findSearchText() {
    const TemplatePtr current = document_.currentTemplate();
    if (!current) return;
    QTextCursor cursor = textView_->textCursor();
    cursor.setPosition(0);
    textView_->setTextCursor(cursor);
    const QTextDocument::FindFlags flags =
        document_.searchCaseSensitive() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    const QTextCursor found = textView_->document()->find(qs(document_.searchText()), 0, flags);
    if (!found.isNull()) {
        current->setSelectedRange({static_cast<std::size_t>(found.selectionStart()),
                                   static_cast<std::size_t>(found.selectionEnd() - found.selectionStart())});
    }
    QTimer::singleShot(0, this, [this] { selectPriorRange(); });
}

void FormatWindow::selectPriorRange() {
    const TemplatePtr current = document_.currentTemplate();
    if (!current || current->type() > WorkspaceScriptType) return;
    const TextRange range = current->selectedRange();
    const int size = textView_->document()->characterCount() - 1;
    QTextCursor cursor = textView_->textCursor();
    cursor.setPosition(std::min(static_cast<int>(range.location), size));
    cursor.setPosition(std::min(static_cast<int>(range.location + range.length), size), QTextCursor::KeepAnchor);
    textView_->setTextCursor(cursor);
    textView_->ensureCursorVisible();
}

// ---- languages -------------------------------------------------------------

void FormatWindow::criticalSheet(const std::string& message, const std::string& information) {
    AppAlerts::simpleOKAlert(message, information, this, AlertButtons::Critical);
}

std::vector<Language> FormatWindow::languages() const {
    std::vector<Language> result;
    if (const ItemList* properties = document_.listForName("Properties"))
        for (const TemplatePtr& item : languagesOf(*properties))
            result.push_back({item->name(), item->templateObject().dictionary() ? *item->templateObject().dictionary()
                                                                                 : Dictionary{}});
    return result;
}

void FormatWindow::changeLanguage(const TemplatePtr& item, const Dictionary& strings, const std::string& actionName) {
    const Value old = item->templateObject();
    document_.undoManager().registerUndo(&document_, [this, item, old, actionName] {
        changeLanguage(item, old.dictionary() ? *old.dictionary() : Dictionary{}, actionName);
    });
    item->setTemplateObject(Value(strings));
    document_.undoManager().setActionName(actionName);
    document_.updateChangeCount(true);
    emit documentChanged();
    if (document_.currentTemplate() == item && shownTable()) {
        loading_ = true;
        showTable(*item);
        loading_ = false;
        dropEditorUndo();
    }
}

FormatWindow::TemplatePtr FormatWindow::getLanguage(const std::string& name, bool create, const std::string& actionName) {
    ItemList* properties = document_.listForName("Properties");
    if (!properties) return nullptr;
    for (const TemplatePtr& item : languagesOf(*properties))
        if (item->name() == name) return item;
    if (!create) return nullptr;
    return makeLanguage(name, actionName);
}

FormatWindow::TemplatePtr FormatWindow::makeLanguage(const std::string& name, const std::string& actionName) {
    ItemList* properties = document_.listForName("Properties");
    if (!properties) return nullptr;
    Dictionary strings;
    if (const TemplatePtr english = properties->objectNamed("English"))
        if (const Dictionary* d = english->templateObject().dictionary()) strings = *d;
    strings.set("<LANG>", Value(name));
    const TemplatePtr item = properties->createTemplate(Value(strings), name);
    if (!item) return nullptr;
    document_.undoManager().registerUndo(&document_, [this, item, properties] { removeTemplate(item, properties); });
    installTemplate(item, properties, false);
    document_.undoManager().setActionName(actionName);
    return item;
}

void FormatWindow::newLanguage() {
    if (!validateCommandTag(NewLanguageTag, commandState()).enabled || !prompts_.askName) return;
    const std::optional<QString> name = prompts_.askName(qs(ItemList::promptForType(PropertyListType, false)));
    if (!name) return;
    if (const auto unsafe = Template::unsafeName(name->toStdString())) {
        criticalSheet("The template could not be created", *unsafe);
        return;
    }
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    makeLanguage(name->toStdString(), "New Language");
    undo.endUndoGrouping();
}

void FormatWindow::synchronizeStrings() {
    if (!validateCommandTag(SynchronizeLanguagesTag, commandState()).enabled) return;
    // Text typed into the shown template counts too.
    saveCurrentTemplate();
    const CollectedKeys collected =
        collectFormatKeys(document_.listForName("Record Editing"), document_.listForName("Tag Editing"),
                          document_.listForName("Subroutines"), document_.listForName("Properties"));
    std::unordered_set<std::string> tags;
    if (const auto file = ResourceFolder::pathForResource("GEDCOMTags", "plist"))
        if (const auto list = PropertyList::readFile(*file))
            if (const Array* names = list->array())
                for (const Value& name : *names) tags.insert(name.toString());
    const std::vector<Language> present = languages();
    const SynchronizeResult result = synchronizeLanguages(present, collected, tags);
    const std::vector<TemplatePtr> items = languagesOf(*document_.listForName("Properties"));
    UndoManager& undo = document_.undoManager();
    undo.beginUndoGrouping();
    for (std::size_t i = 0; i < items.size() && i < result.changed.size(); ++i)
        if (result.changed[i]) changeLanguage(items[i], *result.changed[i], "Language Strings Changed");
    undo.endUndoGrouping();
    if (result.report.empty() || !prompts_.wantsReport) return;
    if (!prompts_.wantsReport("Some keys were ignored due to their style, were not found, or were added to languages.",
                              "Use 'Report' to save a text report of all key issues."))
        return;
    const auto path = prompts_.savePath ? prompts_.savePath(tr("Save Report")) : std::nullopt;
    if (!path) return;
    std::ofstream out(*path, std::ios::binary);
    out << result.report;
    out.close();
    if (!out)
        AppAlerts::criticalAlert("The synchronization report could not be exported to a text file.",
                                 "Error when writing to the disk.", nullptr);
}

void FormatWindow::exportLanguages() {
    if (!validateCommandTag(ExportLanguagesTag, commandState()).enabled || !prompts_.savePath) return;
    saveCurrentTemplate();
    const auto path = prompts_.savePath(tr("Export Languages"));
    if (!path) return;
    std::ofstream out(*path, std::ios::binary);
    out << exportLanguageTable(languages());
    out.close();
    if (!out)
        AppAlerts::criticalAlert("The languages cannot be exported to a text file.", "Error when writing to the disk.",
                                 nullptr);
}

void FormatWindow::importLanguages() {
    if (!validateCommandTag(ImportLanguagesTag, commandState()).enabled || !prompts_.importPath) return;
    if (const auto path = prompts_.importPath()) importLanguagesFrom(*path);
}

void FormatWindow::importLanguagesFrom(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = readFileBytes(file);
    if (!bytes) {
        criticalSheet("The selected file could not be imported.", "The file could not be read.");
        return;
    }
    const auto read = readLanguageTable(*bytes);
    if (const std::string* refusal = std::get_if<std::string>(&read)) {
        criticalSheet(*refusal, {});
        return;
    }
    const LanguageTable& table = std::get<LanguageTable>(read);
    // A title names a language item, so a file of the package: one that
    // would lead outside the package is refused before anything changes.
    for (const auto& [column, title] : table.languageColumns) {
        if (const auto unsafe = Template::unsafeName(title)) {
            criticalSheet("The selected file could not be imported.", *unsafe);
            return;
        }
    }
    if (!prompts_.importStyle) return;
    const auto style = prompts_.importStyle(qs(describeLanguageTable(table)), importStyle_);
    if (!style) return;
    saveCurrentTemplate();
    importStyle_ = *style;
    for (const auto& [column, title] : table.languageColumns) {
        UndoManager& undo = document_.undoManager();
        undo.beginUndoGrouping();
        const TemplatePtr language = getLanguage(title, true, "Language Strings Import");
        if (language) {
            const Dictionary present =
                language->templateObject().dictionary() ? *language->templateObject().dictionary() : Dictionary{};
            if (const auto strings = importLanguageColumn(present, table, column, *style))
                changeLanguage(language, *strings, "Language Strings Import");
        }
        undo.endUndoGrouping();
    }
}

bool FormatWindow::eventFilter(QObject* watched, QEvent* event) {
    // Undo and redo keys are the Edit menu's, so that they run the
    // document's history rather than the view's alone.
    if (watched == textView_ && event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            event->ignore();
            return true;
        }
    }
    if (watched == outline_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto item = selectedTemplate();
        if (key->key() == Qt::Key_F2 && item && !item->canDelete()) {
            QApplication::beep();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace kl
