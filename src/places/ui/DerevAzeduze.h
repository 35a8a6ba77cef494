#pragma once
// DerevAzeduze: the application's one place advisor window. It browses the
// pages of the place-data service in a web view; the title of the page
// shown is the place code that enables its Copy To Place and Search items,
// and a results pane under the web view (collapsed at first) holds what a
// search found. The index and relatives windows' "Derev Azeduze" toolbar
// item opens it (showDerevAzeduze, tag 6101).
//
// Ownership: the one instance deletes itself when closed (the next use
// makes a new one); owns its web view and toolbar; borrows the user
// defaults, which outlive it. Thread: main thread.
#include <QMainWindow>
#include <QPointer>

#include <string>

class QSplitter;
class QTextEdit;

namespace kl {

class ImportPlace;
class IndexToolbarWidget;
class SearchPlace;
class PlaceWebView;
class UserDefaults;
struct ToolbarItemSpec;

class DerevAzeduze : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kFrameName = "PlacePanel";

    // The one advisor, made (and its home page loaded) on first use.
    static DerevAzeduze* sharedDerevAzeduze(UserDefaults& defaults);
    static DerevAzeduze* sharedDerevAzeduze();
    static bool hasDerevAzeduze();
    // The application's advisor commands: 6101 shows the advisor, 6102
    // opens its home page in the desktop's browser; false for other tags.
    static bool showDerevAzeduze(int tag);
    // Makes the application's toolbar items reach showDerevAzeduze, the
    // advisor reading the defaults given.
    static void install(UserDefaults& defaults);
    // Forgets the hook and the advisor (tests).
    static void uninstall();

    ~DerevAzeduze() override;

    void loadAdvisor();
    bool validateMenuTag(int tag) const;
    void copyToPlaceRecord();
    void searchForPlace();
    // The ends of the import and search sheets: write the downloaded place,
    // or show the names found (errors as critical alerts).
    void copyPlaceNow(ImportPlace& sheet, int returnCode);
    void showFoundPlaces(SearchPlace& sheet, int returnCode);
    void contextHelpTopic();
    void closeOnError();
    // The web view finished a page or learned its title.
    void pageChanged();

    PlaceWebView* placeWeb() const { return placeWeb_; }
    QTextEdit* searchResults() const { return searchResults_; }
    IndexToolbarWidget* toolbar() const { return toolbar_; }
    std::string requestURL() const;
    double lineHeight() const { return lineHeight_; }
    // The home page's address for the current defaults.
    std::string advisorAddress() const;
    // This computer's first network address, else "localhost".
    static std::string localIPAddress();

private:
    explicit DerevAzeduze(UserDefaults& defaults);
    void windowDidLoad();
    void setupToolBar();
    void toolbarItemChosen(const ToolbarItemSpec& item);

    UserDefaults& defaults_;
    QSplitter* placePanes_ = nullptr;
    QTextEdit* searchResults_ = nullptr;
    PlaceWebView* placeWeb_ = nullptr;
    IndexToolbarWidget* toolbar_ = nullptr;
    double lineHeight_ = 18;
};

}  // namespace kl
