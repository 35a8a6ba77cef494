#pragma once
// The waits for a modal dialog that tests arm. A wait that is still armed
// when its test ends would fire in a later test and write into the ended
// test's locals, so the test main cancels every one that is left.
#include <QPointer>
#include <QTimer>

#include <vector>

namespace kl::test {

inline std::vector<QPointer<QTimer>>& armedModalWaits() {
    static std::vector<QPointer<QTimer>> waits;
    return waits;
}

// Returns how many waits were still armed.
inline int cancelModalWaits() {
    int armed = 0;
    for (auto& wait : armedModalWaits()) {
        if (!wait) continue;
        if (wait->isActive()) ++armed;
        wait->stop();
        delete wait.data();
    }
    armedModalWaits().clear();
    return armed;
}

}  // namespace kl::test
