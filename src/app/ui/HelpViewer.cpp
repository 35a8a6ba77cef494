#include "app/ui/HelpViewer.h"

#include <QDesktopServices>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ui/WindowCascade.h"

namespace kl {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(frameName);
    setWindowTitle(tr("Kinlore II Help"));
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.isLocalFile() || url.isRelative())
            browser_->setSource(browser_->source().resolved(url));
        else
            QDesktopServices::openUrl(url);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(640, 560);
    WindowCascade::shared().setFrameUsingName(this, frameName);
    WindowCascade::shared().setFrameAutosaveName(this, frameName);
}

void HelpViewer::showPage(const std::filesystem::path& page, const std::string& anchor) {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.string()));
    browser_->setSource(url);
    if (!anchor.empty()) browser_->scrollToAnchor(QString::fromStdString(anchor));
    show();
    raise();
    activateWindow();
}

}  // namespace kl
