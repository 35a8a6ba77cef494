#pragma once
// Shortcuts for the standard commands. A desktop without a theme that binds
// them (a bare X server, the offscreen platform) leaves some standard keys
// empty, and users would lose Ctrl+Q and Ctrl+, there.
#include <QKeySequence>

namespace kl {

inline QKeySequence standardKeys(QKeySequence::StandardKey key, const QKeySequence& fallback) {
    const QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
    return bindings.isEmpty() ? fallback : bindings.first();
}

inline QKeySequence quitKeys() { return standardKeys(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)); }
inline QKeySequence preferencesKeys() {
    return standardKeys(QKeySequence::Preferences, QKeySequence(Qt::CTRL | Qt::Key_Comma));
}

}  // namespace kl
