#include "places/ui/PlaceDataTransport.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <memory>

#include "places/MyHTTPRequest.h"

namespace kl {

namespace {

MyHTTPRequest::Reply fetch(const std::string& url, double timeout) {
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl::fromEncoded(QByteArray::fromStdString(url)));
    request.setTransferTimeout(int(timeout * 1000));
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (reply->error() != QNetworkReply::NoError)
        return {std::nullopt, {"QNetworkReply", long(reply->error()), reply->errorString().toStdString()}};
    return {reply->readAll().toStdString(), {}};
}

}  // namespace

void PlaceDataTransport::install() { MyHTTPRequest::setTransport(&fetch); }

}  // namespace kl
