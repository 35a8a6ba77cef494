#include "app/ui/ExtensionDocs.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/WindowCascade.h"

namespace kl {

namespace {

std::string lowered(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The page view; it hands over each clicked link as written in the page.
class DocsWebView : public QTextBrowser {
public:
    DocsWebView(std::function<void(const QString&)> clicked, QWidget* parent)
        : QTextBrowser(parent), clicked_(std::move(clicked)) {
        setOpenLinks(false);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        const QString link = event->button() == Qt::LeftButton ? anchorAt(event->position().toPoint()) : QString();
        if (link.isEmpty()) return QTextBrowser::mouseReleaseEvent(event);
        clicked_(link);
    }

private:
    std::function<void(const QString&)> clicked_;
};

}  // namespace

ExtensionDocs::ExtensionDocs(UserDefaults& defaults, QWidget* parent) : QWidget(parent, Qt::Window), defaults_(defaults) {
    setObjectName(frameName);
    setWindowTitle(tr("Extension Documentation"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setupToolBar();
    layout->addWidget(toolbar_);
    docsWeb_ = new DocsWebView([this](const QString& link) { linkClicked(link); }, this);
    connect(docsWeb_, &QTextBrowser::backwardAvailable, backButton_, &QToolButton::setEnabled);
    connect(docsWeb_, &QTextBrowser::forwardAvailable, forwardButton_, &QToolButton::setEnabled);
    connect(backButton_, &QToolButton::clicked, docsWeb_, &QTextBrowser::backward);
    connect(forwardButton_, &QToolButton::clicked, docsWeb_, &QTextBrowser::forward);
    layout->addWidget(docsWeb_, 1);
    resize(720, 600);
    WindowCascade::shared().setFrameUsingName(this, frameName);
    WindowCascade::shared().setFrameAutosaveName(this, frameName);
}

void ExtensionDocs::setupToolBar() {
    toolbar_ = new QToolBar(tr("documentationToolBar"), this);
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    backButton_ = new QToolButton(this);
    backButton_->setArrowType(Qt::LeftArrow);
    forwardButton_ = new QToolButton(this);
    forwardButton_->setArrowType(Qt::RightArrow);
    for (QToolButton* button : {backButton_, forwardButton_}) {
        button->setEnabled(false);
        button->setToolTip(tr("Back or Forward thru help pages on this extension"));
        toolbar_->addWidget(button);
    }
    toolbar_->addSeparator();
    docsMenuButton_ = new QComboBox(this);
    docsMenuButton_->setToolTip(tr("Select extension to display its documentation"));
    docsMenuButton_->setMinimumContentsLength(30);
    connect(docsMenuButton_, &QComboBox::activated, this, [this](int index) { loadHelpDoc(index); });
    toolbar_->addWidget(docsMenuButton_);
}

void ExtensionDocs::insertMenu(const std::vector<LibraryMenuItem>& menu) {
    menu_ = menu;
    docsMenuButton_->clear();
    int same = -1;
    for (const LibraryMenuItem& item : menu_) {
        if (item.title == docTitle_ && same < 0) same = docsMenuButton_->count();
        docsMenuButton_->addItem(QString::fromStdString(item.title));
    }
    if (same >= 0) {
        docIndex_ = same;
        docsMenuButton_->setCurrentIndex(same);
        loadHelpDoc(sameItem);
    } else {
        loadHelpDoc(firstItem);
    }
}

bool ExtensionDocs::loadHelpDoc(int index) {
    if (index == firstItem) index = 0;
    if (index == sameItem) index = docIndex_;
    if (index < 0 || std::size_t(index) >= menu_.size()) {
        beep();
        return false;
    }
    docIndex_ = index;
    docsMenuButton_->setCurrentIndex(index);
    const LibraryMenuItem& item = menu_[std::size_t(index)];
    docTitle_ = item.title;
    LibraryFolder* library = AppController::sharedLibrary();
    const auto package = library ? library->menus().plugInAtIndex(item.tag) : std::nullopt;
    std::optional<std::filesystem::path> page;
    if (package) {
        const std::string kind = lowered(package->extension().string());
        if (kind == ".kplug")
            page = AppController::extensionHelpPage(*package);
        else if (kind == ".kfrmt")
            page = AppController::formatHelpPage(*package, library->templates().language());
    }
    if (!page) {
        beep();
        return false;
    }
    docsWeb_->setSource(QUrl::fromLocalFile(QString::fromStdString(page->string())));
    // History belongs to one item.
    docsWeb_->clearHistory();
    return true;
}

void ExtensionDocs::linkClicked(const QString& text) {
    if (text.startsWith("http:")) {
        AppController::openAddress(text.toStdString());
        return;
    }
    if (text.startsWith("help://")) {
        std::string name = text.mid(7).toStdString();
        if (name.size() >= 7 && lowered(name.substr(name.size() - 5)) == ".html") name.resize(name.size() - 5);
        AppController::showAnchor(name, std::string("index_"), defaults_);
        return;
    }
    docsWeb_->setSource(docsWeb_->source().resolved(QUrl(text)));
}

void ExtensionDocs::beep() {
    ++beeps_;
    QApplication::beep();
}

}  // namespace kl
