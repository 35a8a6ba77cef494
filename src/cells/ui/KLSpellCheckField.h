#pragma once
// KLSpellCheckField: the base of every multi-line text view that shows record
// text. Its spelling settings follow two user defaults, and a change made in
// any one view ("Continuous Spell Checking has Changed") reaches them all.
// Qt's text widgets have no spell checker on Linux, so the settings are kept
// and reported but change no text; smart quotes and dashes do not exist there
// either. The views paste plain text only.
#include <QPlainTextEdit>

#include "foundation/NotificationCenter.h"

namespace kl {

inline constexpr const char* kCheckSpellingAsYouType = "Check spelling as you type";
inline constexpr const char* kAutomaticSpellCorrection = "Automatic spell correction";
inline constexpr const char* kContinuousSpellCheckingChanged = "Continuous Spell Checking has Changed";

class KLSpellCheckField : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit KLSpellCheckField(QWidget* parent = nullptr);

    bool isContinuousSpellCheckingEnabled() const { return continuous_; }
    bool isAutomaticSpellingCorrectionEnabled() const { return correction_; }

    // Re-reads both defaults; called for every post of the notification.
    void setContinuousSpellCheckNow();

    // Menu actions: store the opposite of this view's state and tell every
    // view, this one included.
    void toggleContinuousSpellChecking();
    void toggleAutomaticSpellingCorrection();

    // The two toggles as checkable actions, for a context menu.
    void addSpellingActions(QMenu* menu);
    // The same for a one-line field, which has no state of its own: the
    // items show and toggle the stored settings.
    static void addStoredSpellingActions(QMenu* menu);
    // Stores a setting and tells every view.
    static void storeSpellingSetting(const char* key, bool on);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void setUpSpellCheck();

    bool continuous_ = false;
    bool correction_ = false;
    Observation spellObservation_;
};

}  // namespace kl
