#pragma once
// PlaceWebView: the web view of the Derev Azeduze. It decides which
// navigations load (PlaceAdvisor::navigationPolicy): a clicked link opens
// in the desktop's browser instead, back and forward are refused, a page
// the service reports missing closes the advisor with an alert, and every
// other page of the service is remembered as the most recent navigation.
// When the service's home page has loaded, its address gives the request
// base of the service's server scripts.
//
// Ownership: a child widget of its advisor window; the advisor is borrowed.
// Thread: main thread.
#include <QWebEngineView>

#include <string>

namespace kl {

class DerevAzeduze;

class PlaceWebView : public QWebEngineView {
    Q_OBJECT
public:
    explicit PlaceWebView(QWidget* parent = nullptr);

    void loadDocumentPath(const std::string& address);
    // The title of the shown page with its medium spaces made plain.
    std::string placeCode() const;

    const std::string& recentNavigation() const { return recentNavigation_; }
    void setRecentNavigation(std::string address) { recentNavigation_ = std::move(address); }
    const std::string& requestURL() const { return requestURL_; }
    void setRequestURL(std::string address) { requestURL_ = std::move(address); }
    DerevAzeduze* parentAdvisor() const { return parentAdvisor_; }
    void setParentAdvisor(DerevAzeduze* advisor) { parentAdvisor_ = advisor; }

    // The page asks whether a navigation goes ahead.
    bool decidePolicyForNavigation(const QUrl& url, int type);
    // The critical alert of a page that failed, then the advisor closes.
    void loadingErrorMsg(const std::string& details);

private:
    void didFinishNavigation();

    DerevAzeduze* parentAdvisor_ = nullptr;
    std::string recentNavigation_;
    std::string requestURL_;
};

}  // namespace kl
