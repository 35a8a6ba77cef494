#pragma once
// A calculator window of its own for each Qt test of Tempolin: Tempolin's
// defaults in a temporary folder, a fixed today, and the beeps and alerts
// the window gives counted; the resources come from the source tree.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "calculator/ui/AppController.h"
#include "calculator/ui/DataEntryField.h"
#include "calculator/ui/TPController.h"
#include "dates/DateClock.h"
#include "foundation/ResourceFolder.h"
#include "foundation/UserDefaults.h"

namespace kl::test {

class CalculatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        UserDefaults::configureStandard("Tempolin", folder_.path().toStdString());
        DateClock::setSource([] { return DateClock::LocalTime{2026, 12, 8, 10, 30, 0}; });
        ResourceFolder::setFolder(std::filesystem::path(KL_SOURCE_DIR) / "resources");
        tempolin_ = std::make_unique<tempolin::AppController>();
        window_ = &tempolin_->mainController();
        window_->show();
        QObject::connect(window_, &TPController::beeped, [this] { ++beeps; });
        QObject::connect(window_, &TPController::alerted, [this](const QString& message, const QString& information) {
            alerts.push_back((message + " / " + information).toStdString());
        });
    }
    void TearDown() override {
        tempolin_.reset();
        DateClock::setSource({});
        ResourceFolder::setFolder({});
        UserDefaults::configureStandard("Tempolin");
    }

    TPController& window() { return *window_; }
    DataEntryField* a() { return window_->regA(); }
    std::string text(int index) { return window_->reg(index)->text().toStdString(); }
    std::string calendar(int index) { return window_->calField(index)->text().toStdString(); }
    std::string day(int index) { return window_->dowField(index)->text().toStdString(); }

    // Replaces a's text by typing, as the user does.
    void type(const QString& value) {
        a()->setFocus();
        a()->selectAll();
        if (value.isEmpty()) {
            QTest::keyClick(a(), Qt::Key_Backspace);
        } else if (value.toLatin1() == value.toUtf8()) {
            QTest::keyClicks(a(), value);
        } else {
            // Letters beyond ASCII come as an input method commits them.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, value);
            QApplication::sendEvent(a(), &press);
        }
    }
    void keypadEnter() { QTest::keyClick(a(), Qt::Key_Enter, Qt::KeypadModifier); }
    void enter(const QString& value) {
        type(value);
        keypadEnter();
    }
    void click(QAbstractButton* button) {
        ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    std::unique_ptr<tempolin::AppController> tempolin_;
    TPController* window_ = nullptr;
    int beeps = 0;
    std::vector<std::string> alerts;

private:
    QTemporaryDir folder_;
};

}  // namespace kl::test
