#include "editor/ui/LineFinder.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <string_view>

#include "app/ui/WindowCascade.h"
#include "editor/TextLines.h"

namespace kl {

namespace {

const char* const kAutosaveName = "GoToLine";

QString plainTextOf(QWidget* view) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(view)) return plain->toPlainText();
    if (auto* rich = qobject_cast<QTextEdit*>(view)) return rich->toPlainText();
    return {};
}

void selectInView(QWidget* view, TextRange range) {
    auto select = [range](auto* edit) {
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(static_cast<int>(range.location));
        cursor.setPosition(static_cast<int>(range.location + range.length), QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
        edit->ensureCursorVisible();
    };
    if (auto* plain = qobject_cast<QPlainTextEdit*>(view)) select(plain);
    else if (auto* rich = qobject_cast<QTextEdit*>(view)) select(rich);
}

}  // namespace

LineFinder& LineFinder::sharedInstance() {
    // Owned by the application object, so it goes before Qt does; a later
    // application gets a finder of its own.
    static QPointer<LineFinder> shared;
    if (!shared) {
        shared = new LineFinder();
        shared->setParent(QCoreApplication::instance());
    }
    return *shared;
}

LineFinder::LineFinder() {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == nullptr) return;
        QWidget* window = now->window();
        if (window != panel_ && qobject_cast<QMainWindow*>(window) != nullptr) mainWindow_ = window;
    });
}

void LineFinder::beep() const {
    if (beep_) beep_();
    else QApplication::beep();
}

void LineFinder::loadUI() {
    if (panel_) return;
    // A floating tool window: it stays above the editor windows and leaves
    // the focus of their text views where it was.
    auto* panel = new QWidget(nullptr, Qt::Tool);
    panel->setAttribute(Qt::WA_DeleteOnClose, false);
    panel->setWindowTitle(tr("Go to Line"));
    findLineField_ = new QLineEdit(panel);
    findLineField_->setObjectName("findLineField");
    findLineButton_ = new QPushButton(tr("Go"), panel);
    findLineButton_->setObjectName("findLineButton");
    findLineButton_->setDefault(true);
    statusField_ = new QLabel(panel);
    statusField_->setObjectName("statusField");
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Line:"), panel));
    row->addWidget(findLineField_, 1);
    row->addWidget(findLineButton_);
    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(row);
    layout->addWidget(statusField_);
    panel->resize(260, panel->sizeHint().height());
    connect(findLineField_, &QLineEdit::returnPressed, this, [this] { findLine(); });
    connect(findLineButton_, &QPushButton::clicked, this, [this] { findLine(); });
    panel_ = panel;
    // The panel lives as long as the finder.
    connect(this, &QObject::destroyed, panel, [panel] { delete panel; });
    WindowCascade& frames = WindowCascade::shared();
    frames.setFrameUsingName(panel, kAutosaveName);
    frames.setFrameAutosaveName(panel, kAutosaveName);
    panel->installEventFilter(this);
    findLineField_->setText(lineString_);
}

QWidget* LineFinder::linePanel() {
    loadUI();
    return panel_;
}

void LineFinder::orderFrontLinePanel() {
    QWidget* panel = linePanel();
    findLineField_->setText(lineString_);
    findLineField_->selectAll();
    panelDidActivate();
    panel->show();
    panel->raise();
    panel->activateWindow();
    findLineField_->setFocus();
}

bool LineFinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_ && event->type() == QEvent::WindowActivate) panelDidActivate();
    return QObject::eventFilter(watched, event);
}

void LineFinder::panelDidActivate() {
    if (findLineButton_ != nullptr) findLineButton_->setEnabled(textObjectToSearchIn() != nullptr);
}

QWidget* LineFinder::textObjectToSearchIn() const {
    QWidget* window = QApplication::activeWindow();
    if (window == nullptr || window == panel_ || qobject_cast<QMainWindow*>(window) == nullptr)
        window = mainWindow_;
    if (window == nullptr || !window->isVisible()) return nullptr;
    QWidget* focus = window->focusWidget();
    if (qobject_cast<QPlainTextEdit*>(focus) != nullptr || qobject_cast<QTextEdit*>(focus) != nullptr) return focus;
    return nullptr;
}

void LineFinder::findLine() {
    loadUI();
    lineString_ = findLineField_->text();
    findLineField_->setFocus();
    QWidget* view = textObjectToSearchIn();
    if (view == nullptr) {
        beep();
        statusField_->setText(tr("No text field"));
        return;
    }
    if (lineString_.isEmpty()) return;
    const QString text = plainTextOf(view);
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.constData()),
                                    static_cast<std::size_t>(text.size()));
    bool pastEnd = false;
    const TextRange range = rangeOfLine(units, lineNumberValue(std::u16string_view(
                                                   reinterpret_cast<const char16_t*>(lineString_.constData()),
                                                   static_cast<std::size_t>(lineString_.size()))),
                                        &pastEnd);
    statusField_->setText(pastEnd ? tr("Exceeds line count") : QString());
    selectInView(view, range);
    QWidget* window = view->window();
    window->raise();
    window->activateWindow();
}

QAction* LineFinder::addMenuItem(QWidget& menu) {
    auto* action = new QAction(tr("Go to Line..."), &menu);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(action, &QAction::triggered, this, [this] { orderFrontLinePanel(); });
    menu.addAction(action);
    // Kept up to date with the focus too, so that the shortcut follows it.
    auto validate = [this, action] { action->setEnabled(validateMenuItem()); };
    if (auto* asMenu = qobject_cast<QMenu*>(&menu)) connect(asMenu, &QMenu::aboutToShow, action, validate);
    connect(qApp, &QApplication::focusChanged, action, validate);
    validate();
    return action;
}

}  // namespace kl
