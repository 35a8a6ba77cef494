#pragma once
// ExtensionDocs: the documentation viewer of installed extensions (".kplug")
// and interface formats (".kfrmt"): a page view under a toolbar holding a
// pop-up of every documented item (the library's documentation menu) and
// back and forward buttons, whose history belongs to the item shown. Links
// to "http:" pages open in the desktop's browser, "help://" links open the
// application's help page of that name, and every other link (pages of the
// package) stays in the viewer.
//
// Ownership: made on first use by the owner of the Extensions menu and kept
// for the run. Thread: main thread.
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "app/LibraryMenus.h"
#include "foundation/UserDefaults.h"

class QComboBox;
class QTextBrowser;
class QToolBar;
class QToolButton;

namespace kl {

class LibraryFolder;

class ExtensionDocs : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* frameName = "ExtDocsPanel";
    // loadHelpDoc() markers besides a pop-up index.
    static constexpr int firstItem = -2;
    static constexpr int sameItem = -1;

    // The defaults say whether help links open in the browser.
    explicit ExtensionDocs(UserDefaults& defaults = UserDefaults::standard(), QWidget* parent = nullptr);

    // Takes the library's documentation menu again; the item shown stays
    // when its title is still there, else the first item is shown.
    void insertMenu(const std::vector<LibraryMenuItem>& menu);
    // Shows an item's documentation: a pop-up index, firstItem or sameItem.
    // False (with a beep) when the item has none; the page shown stays.
    bool loadHelpDoc(int index);
    // The policy of a clicked link, as written in the page: "help://"
    // names keep their case, which a parsed address would lose.
    void linkClicked(const QString& link);

    const std::string& docTitle() const { return docTitle_; }
    int docIndex() const { return docIndex_; }
    QComboBox* docsMenuButton() const { return docsMenuButton_; }
    QTextBrowser* docsWeb() const { return docsWeb_; }
    QToolButton* backButton() const { return backButton_; }
    QToolButton* forwardButton() const { return forwardButton_; }
    int beeps() const { return beeps_; }

private:
    void setupToolBar();
    void beep();

    UserDefaults& defaults_;
    std::vector<LibraryMenuItem> menu_;
    std::string docTitle_;
    int docIndex_ = -1;
    QToolBar* toolbar_ = nullptr;
    QComboBox* docsMenuButton_ = nullptr;
    QTextBrowser* docsWeb_ = nullptr;
    QToolButton* backButton_ = nullptr;
    QToolButton* forwardButton_ = nullptr;
    int beeps_ = 0;
};

}  // namespace kl
