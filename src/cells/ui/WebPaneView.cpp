#include "cells/ui/WebPaneView.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

#include "app/AppController.h"
#include "cells/WebPaneLinks.h"
#include "foundation/MainThread.h"

namespace kl {

namespace {

std::string readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

// The page builder links its style sheet as "file://" plus the path with
// blanks as "%20"; the browser does not follow links, so the sheet is read
// here.
std::string linkedStyleSheet(const std::string& page) {
    const std::string marker = "<link rel='stylesheet' type='text/css' href='file://";
    const std::size_t at = page.find(marker);
    if (at == std::string::npos) return {};
    const std::size_t start = at + marker.size();
    const std::size_t end = page.find('\'', start);
    if (end == std::string::npos) return {};
    const QString path = QUrl::fromPercentEncoding(QByteArray::fromStdString(page.substr(start, end - start)));
    return readFile(path);
}

}  // namespace

WebPaneView::WebPaneView(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setReadOnly(true);
    connect(this, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& link) { followLink(link.toString().toStdString()); });
}

WebPaneView::~WebPaneView() { Dispatcher::current().cancelDeferred(this); }

bool WebPaneView::loadURLDocument(const std::string& path) {
    const QString file = QString::fromStdString(path);
    if (!QFileInfo(file).isReadable()) return false;
    const std::string page = readFile(file);
    basePath_ = path;
    document()->setDefaultStyleSheet(QString::fromStdString(linkedStyleSheet(page)));
    document()->setBaseUrl(QUrl::fromLocalFile(file));
    setHtml(QString::fromStdString(WebPaneLinks::schemeRecordLinks(page)));
    return true;
}

void WebPaneView::followLink(const std::string& address) {
    const auto decision = WebPaneLinks::decide(address, basePath_, model_ ? model_() : nullptr);
    switch (decision.action) {
    case WebPaneLinks::Action::Stay:
        if (const std::size_t hash = address.find('#'); hash != std::string::npos)
            scrollToAnchor(QString::fromStdString(address.substr(hash + 1)));
        break;
    case WebPaneLinks::Action::OpenRecord:
        // On a later turn: opening may rebuild the window this page is in.
        if (openRecord_)
            Dispatcher::current().postDeferred(this, [opener = openRecord_, record = decision.record] { opener(record); });
        break;
    case WebPaneLinks::Action::Desktop:
        AppController::openAddress(address);
        break;
    }
}

double WebPaneView::pageHeight() const {
    // A view not yet shown has no viewport size of its own.
    QTextDocument* page = document();
    page->setTextWidth(std::max(1, width() - 2 * frameWidth()));
    // A little room below the text, as a web page measures its body.
    return page->size().height() + 2 * frameWidth() + 8;
}

}  // namespace kl
