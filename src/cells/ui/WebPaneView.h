#pragma once
// WebPaneView: a rendered record page (a page file of the working folder)
// in a record window: the large text pane's page and, later, expression
// fields. Record pages are static, so a rich-text browser shows them, with
// the page's linked style sheet applied and its local images read. Clicked
// links go where WebPaneLinks decides: the page itself stays, a record ID
// opens that record through the opener, anything else goes to the desktop.
//
// Ownership: a child widget of its pane. Thread: main thread.
#include <QTextBrowser>

#include <functional>
#include <memory>
#include <string>

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;

class WebPaneView : public QTextBrowser {
    Q_OBJECT
public:
    explicit WebPaneView(QWidget* parent = nullptr);
    ~WebPaneView() override;

    // Where record links are looked up, and who opens what they name.
    void setModel(std::function<const GEDCOMModel*()> model) { model_ = std::move(model); }
    void setRecordOpener(std::function<void(const std::shared_ptr<GEDCOMRecord>&)> opener) {
        openRecord_ = std::move(opener);
    }

    // Shows the page file; false when it cannot be read.
    bool loadURLDocument(const std::string& path);
    // The page file shown ("" before the first).
    const std::string& htmlDocURL() const { return basePath_; }
    // Follows a link as a click on it does.
    void followLink(const std::string& address);
    // The page's height when laid out at the view's width.
    double pageHeight() const;

private:
    std::function<const GEDCOMModel*()> model_;
    std::function<void(const std::shared_ptr<GEDCOMRecord>&)> openRecord_;
    std::string basePath_;
};

}  // namespace kl
