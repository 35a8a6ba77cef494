#include "app/ui/UpdateChecker.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QUrl>

#include <vector>

#include "app/AppController.h"
#include "app/MapSettings.h"
#include "app/UpdateCheck.h"
#include "app/ui/StartScreenController.h"
#include "foundation/PropertyList.h"

namespace kl {

namespace {
std::string& siteOverride() {
    static std::string site;
    return site;
}

QNetworkAccessManager& network() {
    static QNetworkAccessManager* manager = new QNetworkAccessManager;
    return *manager;
}

UpdateCheck::Running runningBuild() {
    UpdateCheck::Running running;
    running.version = AppController::decodeVersionNumber(AppController::appVersionNumber, &running.beta);
    running.build = AppController::bundleVersion;
    return running;
}
}  // namespace

void UpdateChecker::setSite(std::string site) { siteOverride() = std::move(site); }

std::string UpdateChecker::site() {
    return siteOverride().empty() ? std::string(AppController::productSite) : siteOverride();
}

void UpdateChecker::readVersionList(std::function<void(std::optional<Dictionary>)> done) {
    QNetworkRequest request(QUrl(QString::fromStdString(site() + UpdateCheck::kVersionListPath)));
    request.setTransferTimeout(60000);
    QNetworkReply* reply = network().get(request);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done = std::move(done)] {
        reply->deleteLater();
        std::optional<Dictionary> list;
        if (reply->error() == QNetworkReply::NoError) {
            const QByteArray bytes = reply->readAll();
            if (auto value = PropertyList::read(std::string_view(bytes.constData(), bytes.size()));
                value && value->dictionary())
                list = *value->dictionary();
        }
        done(std::move(list));
    });
}

void UpdateChecker::checkForUpdate(bool manual) {
    readVersionList([manual](std::optional<Dictionary> list) {
        if (auto feedback = UpdateCheck::updateFeedback(list, runningBuild(), manual, site()))
            updateFeedBack(*feedback);
    });
}

void UpdateChecker::readMapInfo() {
    readVersionList([](std::optional<Dictionary> list) {
        MapSettings::shared().readMapInfoThread([&list] { return list; });
    });
}

void UpdateChecker::updateFeedBack(const Array& feedback) {
    QMessageBox alert;
    alert.setIcon(QMessageBox::Critical);
    alert.setText(QString::fromStdString(feedback.empty() ? std::string() : feedback[0].toString()));
    alert.setInformativeText(QString::fromStdString(feedback.size() > 1 ? feedback[1].toString() : std::string()));
    std::vector<QAbstractButton*> buttons;
    for (const std::string& title : UpdateCheck::buttons(feedback))
        buttons.push_back(alert.addButton(QString::fromStdString(title), QMessageBox::AcceptRole));
    alert.setDefaultButton(static_cast<QPushButton*>(buttons.back()));
    // The start screen stays up behind the alert.
    StartScreenController::setIgnoreResignKey(true);
    alert.exec();
    StartScreenController::setIgnoreResignKey(false);
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (alert.clickedButton() == buttons[i])
            if (auto address = UpdateCheck::addressForButton(feedback, i, site())) AppController::openAddress(*address);
}

}  // namespace kl
