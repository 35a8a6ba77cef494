#include "cells/ui/KLSpellCheckField.h"

#include <QMenu>
#include <QMimeData>

#include "foundation/UserDefaults.h"

namespace kl {

KLSpellCheckField::KLSpellCheckField(QWidget* parent) : QPlainTextEdit(parent) {
    setUpSpellCheck();
}

void KLSpellCheckField::setUpSpellCheck() {
    setContinuousSpellCheckNow();
    spellObservation_ = NotificationCenter::defaultCenter().addObserver(
        kContinuousSpellCheckingChanged, nullptr, [this](const Notification&) { setContinuousSpellCheckNow(); });
}

void KLSpellCheckField::setContinuousSpellCheckNow() {
    const auto& defaults = UserDefaults::standard();
    continuous_ = defaults.boolForKey(kCheckSpellingAsYouType);
    correction_ = defaults.boolForKey(kAutomaticSpellCorrection);
}

void KLSpellCheckField::storeSpellingSetting(const char* key, bool on) {
    UserDefaults::standard().setObject(Value(on), key);
    NotificationCenter::defaultCenter().post(kContinuousSpellCheckingChanged, nullptr);
}

void KLSpellCheckField::toggleContinuousSpellChecking() { storeSpellingSetting(kCheckSpellingAsYouType, !continuous_); }

void KLSpellCheckField::toggleAutomaticSpellingCorrection() {
    storeSpellingSetting(kAutomaticSpellCorrection, !correction_);
}

namespace {

void addToggles(QMenu* menu, QObject* context, bool continuous, bool correction) {
    struct Toggle {
        const char* title;
        const char* key;
        bool on;
    } const toggles[] = {{"Check Spelling While Typing", kCheckSpellingAsYouType, continuous},
                         {"Correct Spelling Automatically", kAutomaticSpellCorrection, correction}};
    for (const Toggle& toggle : toggles) {
        QAction* item = menu->addAction(KLSpellCheckField::tr(toggle.title));
        item->setCheckable(true);
        item->setChecked(toggle.on);
        QObject::connect(item, &QAction::triggered, context,
                         [key = toggle.key, on = toggle.on] { KLSpellCheckField::storeSpellingSetting(key, !on); });
    }
}

}  // namespace

void KLSpellCheckField::addSpellingActions(QMenu* menu) { addToggles(menu, this, continuous_, correction_); }

void KLSpellCheckField::addStoredSpellingActions(QMenu* menu) {
    const auto& defaults = UserDefaults::standard();
    addToggles(menu, menu, defaults.boolForKey(kCheckSpellingAsYouType), defaults.boolForKey(kAutomaticSpellCorrection));
}

bool KLSpellCheckField::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void KLSpellCheckField::insertFromMimeData(const QMimeData* source) {
    if (source->hasText()) insertPlainText(source->text());
}

}  // namespace kl
