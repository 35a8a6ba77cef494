#pragma once
// PreferencesController: Tempolin's preferences window for the four
// settings of its user defaults. Every edit of the display format is stored
// and announced at once ("FormatJustChanged"); the other settings are
// stored when the window stops being key or closes ("PrefsJustChanged"),
// and silently when the application ends.
//
// Thread: main thread. Made once by the application delegate and kept.
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace kl {
class UserDefaults;
}

namespace kl::tempolin {

class PreferencesController : public QWidget {
    Q_OBJECT
public:
    explicit PreferencesController(UserDefaults& defaults, QWidget* parent = nullptr);

    QLineEdit* formatFld() const { return formatFld_; }
    QLineEdit* centuryFld() const { return centuryFld_; }
    QCheckBox* centuryCheck() const { return centuryCheck_; }
    QButtonGroup* assumeMmdd() const { return assumeMmdd_; }
    QComboBox* timePopup() const { return timePopup_; }

    void windowDidLoad();
    void toggleCentury();
    void controlTextDidChange();
    // Stores the settings; announces them unless the application is ending.
    void windowDidResignKey(bool atTermination = false);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    UserDefaults& defaults_;
    QLineEdit* formatFld_ = nullptr;
    QLineEdit* centuryFld_ = nullptr;
    QCheckBox* centuryCheck_ = nullptr;
    QButtonGroup* assumeMmdd_ = nullptr;
    QComboBox* timePopup_ = nullptr;
    bool terminating_ = false;
};

}  // namespace kl::tempolin
