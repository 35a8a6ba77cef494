#include "scripting/ui/QtClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <functional>

#include "foundation/MainThread.h"

namespace kl {

namespace {

void onMainThread(const std::function<void()>& work) {
    Dispatcher& main = Dispatcher::current();
    if (main.isMainThread())
        work();
    else
        main.postAndWait(work);
}

}  // namespace

void QtClipboard::setString(const std::string& text) {
    onMainThread([&] { QApplication::clipboard()->setText(QString::fromStdString(text)); });
}

void QtClipboard::setData(const std::string& mimeType, const std::string& bytes) {
    onMainThread([&] {
        auto* mime = new QMimeData;
        mime->setData(QString::fromStdString(mimeType), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
        QApplication::clipboard()->setMimeData(mime);
    });
}

std::optional<std::string> QtClipboard::string() const {
    std::optional<std::string> result;
    onMainThread([&] {
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        if (mime && mime->hasText()) result = mime->text().toStdString();
    });
    return result;
}

std::optional<std::string> QtClipboard::data(const std::string& mimeType) const {
    std::optional<std::string> result;
    onMainThread([&] {
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        const QString type = QString::fromStdString(mimeType);
        if (mime && mime->hasFormat(type)) result = mime->data(type).toStdString();
    });
    return result;
}

}  // namespace kl
