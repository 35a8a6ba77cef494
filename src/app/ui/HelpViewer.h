#pragma once
// HelpViewer: the application's own help window, used when "Open Help in
// Browser" is off. It shows one page of the help folder and scrolls to the
// anchor asked for; links between help pages stay in it, outside pages go
// to the desktop's browser.
//
// Ownership: the application makes it on first use and keeps it for the
// run. Thread: main thread.
#include <QWidget>

#include <filesystem>
#include <string>

class QTextBrowser;

namespace kl {

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* frameName = "HelpViewer";

    explicit HelpViewer(QWidget* parent = nullptr);

    void showPage(const std::filesystem::path& page, const std::string& anchor);
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

}  // namespace kl
