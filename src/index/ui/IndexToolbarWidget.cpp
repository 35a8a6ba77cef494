#include "index/ui/IndexToolbarWidget.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QMainWindow>

#include "app/AppController.h"
#include "app/ToolbarStyle.h"
#include "app/ui/AppToolbars.h"
#include "index/ui/AddColumnToolButton.h"
#include "index/ui/ToolbarCustomizeDialog.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

QString qlocalized(const std::string& key) {
    return QString::fromStdString(LibraryServices::current()->localString(key));
}

// Room a fixed space takes, and the narrowest a flexible one gets.
constexpr int kSpaceWidth = 8;
constexpr int kFindFieldWidth = 180;

}  // namespace

IndexToolbarWidget::IndexToolbarWidget(UserDefaults& defaults, QWidget* parent, const ToolbarItems& items)
    : QToolBar(parent), defaults_(defaults), toolbar_(items) {
    setObjectName(QString::fromStdString(items.identifier));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // Titles under the icons until the window is given a toolbar style;
    // from then on the window's style decides.
    if (auto* window = qobject_cast<QMainWindow*>(parent)) {
        auto follow = [this, window] {
            if (AppToolbars::toolbarStyle(*window) != ToolbarStyle::Automatic) setToolButtonStyle(window->toolButtonStyle());
        };
        // A style may leave one of the two unchanged, so either signal may
        // be the only one to come.
        connect(window, &QMainWindow::toolButtonStyleChanged, this, follow);
        connect(window, &QMainWindow::iconSizeChanged, this, follow);
    }
    rebuild();
}

IndexToolbarWidget::~IndexToolbarWidget() = default;

QIcon IndexToolbarWidget::imageNamed(const std::string& name) {
    if (name.empty()) return {};
    const auto folder = AppController::resourcesFolder() / "Images";
    for (const char* extension : {".svg", ".png"}) {
        const QString path = QString::fromStdString((folder / (name + extension)).string());
        if (QFileInfo::exists(path)) return QIcon(path);
    }
    return {};
}

void IndexToolbarWidget::setValidator(Validator validator) {
    validator_ = std::move(validator);
    validateVisibleItems();
}

void IndexToolbarWidget::setFindView(QWidget* view) {
    if (findView_ == view) return;
    if (findView_) findView_->deleteLater();
    findView_ = view;
    if (view) {
        view->setParent(this);
        view->hide();
    }
    rebuild();
}

void IndexToolbarWidget::clearItems() {
    // The find view outlives the slot that holds it.
    if (findView_) {
        findView_->hide();
        findView_->setParent(this);
    }
    for (auto& item : items_) {
        removeAction(item.action);
        delete item.action;
    }
    items_.clear();
    shown_.clear();
    addColumn_ = nullptr;
    findField_ = nullptr;
}

void IndexToolbarWidget::rebuild() {
    clearItems();
    for (const auto& id : toolbar_.itemIdentifiers(defaults_)) {
        QAction* action = nullptr;
        if (id == IndexToolbar::kSeparator) {
            action = addSeparator();
        } else if (id == IndexToolbar::kSpace || id == IndexToolbar::kFlexibleSpace) {
            auto* space = new QWidget;
            space->setMinimumWidth(kSpaceWidth);
            space->setSizePolicy(id == IndexToolbar::kFlexibleSpace ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                                 QSizePolicy::Preferred);
            action = addWidget(space);
        } else if (id == "TypeFindField") {
            action = addFindSlot();
        } else if (QWidget* view = viewFactory_ ? viewFactory_(toolbar_.itemFor(id)) : nullptr) {
            view->setToolTip(qlocalized(toolbar_.itemFor(id).toolTip));
            action = addWidget(view);
        } else {
            action = addItem(toolbar_.itemFor(id));
        }
        const int tag = toolbar_.itemFor(id).tag;
        items_.push_back(Item{id, action, tag});
        shown_.push_back(id);
    }
    if (addColumn_) emit addColumnButtonMade(addColumn_);
    validateVisibleItems();
}

QAction* IndexToolbarWidget::addItem(const ToolbarItemSpec& spec) {
    const QString label = qlocalized(spec.label.empty() ? ToolbarCustomizeDialog::itemTitle(spec.identifier, toolbar_)
                                                              .toStdString()
                                                        : spec.label);
    const QIcon icon = imageNamed(spec.image);
    if (spec.identifier == "AddColumn") {
        auto* button = new AddColumnToolButton;
        button->setText(label);
        button->setIcon(icon);
        button->setToolTip(qlocalized(spec.toolTip));
        // A widget on a toolbar is not restyled with the toolbar's own
        // buttons: follow the window's toolbar style by hand.
        auto restyle = [this, button] {
            const int edge = AppToolbars::toolDLPopupSize(this, defaults_);
            button->setIconSize(QSize(edge, edge));
            button->setToolButtonStyle(toolButtonStyle());
        };
        restyle();
        connect(this, &QToolBar::iconSizeChanged, button, restyle);
        connect(this, &QToolBar::toolButtonStyleChanged, button, restyle);
        button->setAddColumnCommand([this, spec] { report(spec); });
        addColumn_ = button;
        return addWidget(button);
    }
    QAction* action = addAction(icon, label);
    if (!spec.toolTip.empty()) action->setToolTip(qlocalized(spec.toolTip));
    action->setData(QString::fromStdString(spec.identifier));
    if (spec.identifier == IndexToolbar::kCustomize)
        connect(action, &QAction::triggered, this, [this] { runCustomizationPalette(); });
    else
        connect(action, &QAction::triggered, this, [this, spec] { report(spec); });
    return action;
}

QAction* IndexToolbarWidget::addFindSlot() {
    const ToolbarItemSpec spec = toolbar_.itemFor("TypeFindField");
    auto* slot = new QWidget;
    auto* layout = new QHBoxLayout(slot);
    layout->setContentsMargins(0, 0, 0, 0);
    if (findView_) {
        layout->addWidget(findView_);
        findView_->show();
    } else {
        findField_ = new QLineEdit(slot);
        findField_->setPlaceholderText(qlocalized(spec.label));
        findField_->setMinimumWidth(kFindFieldWidth);
        layout->addWidget(findField_);
    }
    slot->setToolTip(qlocalized(spec.toolTip));
    return addWidget(slot);
}

void IndexToolbarWidget::report(const ToolbarItemSpec& spec) {
    if (handler_) handler_(spec);
}

void IndexToolbarWidget::validateVisibleItems() {
    if (!validator_) return;
    for (const auto& item : items_)
        if (item.tag != 0) item.action->setEnabled(validator_(item.tag).enabled);
    emit itemsValidated();
}

QAction* IndexToolbarWidget::actionForIdentifier(const std::string& identifier) const {
    for (const auto& item : items_)
        if (item.identifier == identifier) return item.action;
    return nullptr;
}

void IndexToolbarWidget::showEvent(QShowEvent* event) {
    validateVisibleItems();
    QToolBar::showEvent(event);
}

ToolbarCustomizeDialog* IndexToolbarWidget::runCustomizationPalette() {
    auto* dialog = new ToolbarCustomizeDialog(shown_, window(), toolbar_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        toolbar_.saveItemIdentifiers(defaults_, dialog->itemIdentifiers());
        // Every window of the kind shows the same toolbar. The toolbars
        // are gathered first: a rebuild deletes widgets of the list walked.
        std::vector<QPointer<IndexToolbarWidget>> toolbars;
        for (QWidget* widget : QApplication::allWidgets())
            if (auto* toolbar = qobject_cast<IndexToolbarWidget*>(widget);
                toolbar && &toolbar->defaults_ == &defaults_ && toolbar->toolbar_.identifier == toolbar_.identifier)
                toolbars.emplace_back(toolbar);
        for (const auto& toolbar : toolbars)
            if (toolbar) toolbar->rebuild();
    });
    dialog->open();
    return dialog;
}

}  // namespace kl
