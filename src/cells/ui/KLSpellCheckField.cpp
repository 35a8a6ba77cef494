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

void KLSpellCheckField::toggleContinuousSpellChecking() {
    UserDefaults::standard().setObject(Value(!continuous_), kCheckSpellingAsYouType);
    NotificationCenter::defaultCenter().post(kContinuousSpellCheckingChanged, nullptr);
}

void KLSpellCheckField::toggleAutomaticSpellingCorrection() {
    UserDefaults::standard().setObject(Value(!correction_), kAutomaticSpellCorrection);
    NotificationCenter::defaultCenter().post(kContinuousSpellCheckingChanged, nullptr);
}

void KLSpellCheckField::addSpellingActions(QMenu* menu) {
    auto* check = menu->addAction(tr("Check Spelling While Typing"), this,
                                  &KLSpellCheckField::toggleContinuousSpellChecking);
    check->setCheckable(true);
    check->setChecked(continuous_);
    auto* correct = menu->addAction(tr("Correct Spelling Automatically"), this,
                                    &KLSpellCheckField::toggleAutomaticSpellingCorrection);
    correct->setCheckable(true);
    correct->setChecked(correction_);
}

bool KLSpellCheckField::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void KLSpellCheckField::insertFromMimeData(const QMimeData* source) {
    if (source->hasText()) insertPlainText(source->text());
}

}  // namespace kl
