#pragma once
// StartScreenController: the start screen Kinlore II shows while no
// database is open (when "Show Startup Screen" is on): the version, quick
// buttons for the two most recently opened database packages or the sample
// database, a pop-up of every recent document, buttons for a new database,
// another file and the help, and the check box of the preference. Opening
// anything, or the screen losing the focus, closes it.
//
// The commands go to the application through Commands, so the screen knows
// no document controller. Ownership: the application makes it on demand
// and forgets it when it closes. Thread: main thread.
#include <QWidget>

#include <filesystem>
#include <functional>
#include <vector>

#include "foundation/UserDefaults.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace kl {

class StartScreenController : public QWidget {
    Q_OBJECT
public:
    // Tags of the quick buttons and pop-up items besides recent indexes.
    static constexpr int noFileTag = -1;
    static constexpr int sampleFileTag = -2;

    struct Commands {
        std::function<void(const std::filesystem::path&)> openRecent;
        std::function<void()> openSample;
        std::function<void()> createNewFile;
        std::function<void()> openOtherFile;
        std::function<void()> gettingStarted;
        // Asks the application to close the screen.
        std::function<void()> close;
    };

    StartScreenController(bool newUser, std::vector<std::filesystem::path> recentDocs, Commands commands,
                          UserDefaults& defaults, QWidget* parent = nullptr);

    // Set while another part of the program shows an alert above the
    // screen, so that the alert taking the focus does not close it.
    static void setIgnoreResignKey(bool ignore);

    const std::vector<std::filesystem::path>& recentDocs() const { return recentDocs_; }
    bool newUserType() const { return newUserType_; }
    QLabel* startAppVersion() const { return startAppVersion_; }
    QComboBox* recentFileMenu() const { return recentFileMenu_; }
    QPushButton* sampleFileOne() const { return sampleFileOne_; }
    QPushButton* sampleFileTwo() const { return sampleFileTwo_; }
    QCheckBox* showCheckBox() const { return showCheckBox_; }
    QLabel* newUserText() const { return newUserText_; }
    QLabel* returningUserText() const { return returningUserText_; }

    // The commands of the buttons and pop-up items by tag.
    void handleRecentFiles(int tag);
    void openSampleFile(int tag);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void windowDidLoad();
    void setQuickButton(QPushButton* button, int tag, const QString& title, const QString& tip);

    std::vector<std::filesystem::path> recentDocs_;
    Commands commands_;
    UserDefaults& defaults_;
    bool newUserType_;
    QLabel* startAppVersion_ = nullptr;
    QLabel* newUserText_ = nullptr;
    QLabel* returningUserText_ = nullptr;
    QComboBox* recentFileMenu_ = nullptr;
    QPushButton* sampleFileOne_ = nullptr;
    QPushButton* sampleFileTwo_ = nullptr;
    QPushButton* openOtherButton_ = nullptr;
    QCheckBox* showCheckBox_ = nullptr;
};

}  // namespace kl
