#include "places/ui/PlaceWebView.h"

#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

#include "app/AppController.h"
#include "app/ui/AppAlerts.h"
#include "foundation/Logger.h"
#include "places/PlaceAdvisor.h"
#include "places/ui/DerevAzeduze.h"

namespace kl {

namespace {

int navigationType(QWebEnginePage::NavigationType type) {
    switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked: return PlaceAdvisor::LinkActivated;
    case QWebEnginePage::NavigationTypeFormSubmitted: return PlaceAdvisor::FormSubmitted;
    case QWebEnginePage::NavigationTypeBackForward: return PlaceAdvisor::BackForward;
    case QWebEnginePage::NavigationTypeReload: return PlaceAdvisor::Reload;
    default: return PlaceAdvisor::Other;
    }
}

// Hands each main-frame navigation to the view's policy.
class PlacePage : public QWebEnginePage {
public:
    PlacePage(PlaceWebView& view) : QWebEnginePage(&view), view_(view) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame) return true;
        return view_.decidePolicyForNavigation(url, navigationType(type));
    }

private:
    PlaceWebView& view_;
};

}  // namespace

PlaceWebView::PlaceWebView(QWidget* parent) : QWebEngineView(parent) {
    setPage(new PlacePage(*this));
    // The title may come after the load has ended.
    connect(this, &QWebEngineView::titleChanged, this, [this] { didFinishNavigation(); });
    // A refused navigation ends as stopped, not failed, and leaves the page as it was.
    connect(page(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) didFinishNavigation();
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
            Logger::log("Provisional navigation failed: {}", info.errorString().toStdString());
            loadingErrorMsg(info.errorString().toStdString());
        }
    });
}

void PlaceWebView::loadDocumentPath(const std::string& address) {
    load(QUrl::fromUserInput(QString::fromStdString(address)));
}

std::string PlaceWebView::placeCode() const { return PlaceAdvisor::placeCode(title().toStdString()); }

bool PlaceWebView::decidePolicyForNavigation(const QUrl& url, int type) {
    const std::string address = url.toString().toStdString();
    switch (PlaceAdvisor::navigationPolicy(type, address)) {
    case PlaceAdvisor::Policy::OpenInBrowser:
        AppController::openAddress(address);
        return false;
    case PlaceAdvisor::Policy::Cancel: return false;
    case PlaceAdvisor::Policy::NotFound:
        // Told once the page has answered, not from inside the engine's question.
        QMetaObject::invokeMethod(this, [this] { loadingErrorMsg("404 Page Not Found"); }, Qt::QueuedConnection);
        return false;
    case PlaceAdvisor::Policy::Allow: break;
    }
    if (PlaceAdvisor::remembersNavigation(type, address)) recentNavigation_ = address;
    return true;
}

void PlaceWebView::didFinishNavigation() {
    if (auto base = PlaceAdvisor::requestURLFor(recentNavigation_, title().toStdString())) requestURL_ = *base;
    if (parentAdvisor_) parentAdvisor_->pageChanged();
}

void PlaceWebView::loadingErrorMsg(const std::string& details) {
    AppAlerts::runCriticalAlert("The place advisor could not be loaded due to server or internet connection error.",
                                details, "OK");
    if (parentAdvisor_) parentAdvisor_->closeOnError();
}

}  // namespace kl
