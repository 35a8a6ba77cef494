#pragma once
// A fresh home for one Qt test of the application: HOME and the XDG data
// and cache folders in a temporary folder, the shipped resources, and
// defaults of its own; plus the doubles of the document controller's
// questions, a wait on the event loop and an action on the next modal
// dialog.
#include <gtest/gtest.h>

#include "../../support/ModalWaits.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ui/UpdateChecker.h"
#include "app/AppController.h"
#include "foundation/ResourceFolder.h"
#include "foundation/UserDefaults.h"

namespace kl::test {

class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (saved_)
            ::setenv(name_, saved_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// The item of that title in the window's menu of that title ("&File"),
// or nullptr.
inline QAction* menuItem(QMainWindow& window, const QString& menu, const QString& item) {
    for (QAction* entry : window.menuBar()->actions())
        if (entry->menu() && entry->text() == menu)
            for (QAction* action : entry->menu()->actions())
                if (action->text() == item) return action;
    return nullptr;
}

// Turns the event loop until the condition holds or a generous limit
// passes; the caller asserts on the condition, never on the time.
inline bool spinUntil(const std::function<bool()>& condition, int limitMilliseconds = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < limitMilliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return condition();
}

constexpr int kGiveUpMilliseconds = 20000;

inline bool processUntil(const std::function<bool()>& done) { return spinUntil(done, kGiveUpMilliseconds); }

// Runs `action` on the active modal widget of type T as soon as one is up.
template <class T>
void whenModal(std::function<void(T&)> action) {
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    armedModalWaits().emplace_back(timer);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action = std::move(action)] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*widget);
        } else if (clock->elapsed() > kGiveUpMilliseconds) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " appeared";
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
        }
    });
    timer->start();
}

class AppHome : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        const std::filesystem::path root = home_.path().toStdString();
        home.emplace("HOME", root.string());
        data.emplace("XDG_DATA_HOME", (root / "data").string());
        cache.emplace("XDG_CACHE_HOME", (root / "cache").string());
        savedResources_ = ResourceFolder::folder();
        ResourceFolder::setFolder(shipped());
        AppController::setResourcesFolder(shipped());
        defaults = std::make_unique<UserDefaults>("Kinlore II", root / "config");
        // The start-up reads of the version list never leave this machine
        // (the discard port refuses at once).
        UpdateChecker::setSite("http://127.0.0.1:9");
    }
    void TearDown() override {
        UpdateChecker::setSite({});
        defaults.reset();
        ResourceFolder::setFolder(savedResources_);
        cache.reset();
        data.reset();
        home.reset();
    }
    static std::filesystem::path shipped() { return std::filesystem::path(KL_SOURCE_DIR) / "resources"; }
    std::filesystem::path root() const { return home_.path().toStdString(); }

    std::unique_ptr<UserDefaults> defaults;
    std::optional<ScopedVariable> home, data, cache;

private:
    QTemporaryDir home_;
    std::filesystem::path savedResources_;
};

}  // namespace kl::test
