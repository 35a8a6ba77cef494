// Alerts as the user meets them: which buttons a run alert shows, in which
// order, and what pressing each answers; OK alerts as sheets on a window;
// the dark-mode test and the notifications of a theme change; the
// placement of document windows and the print-margins accessory.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QMainWindow>
#include <QMessageBox>
#include <QPalette>

#include <optional>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "app/CascadePoints.h"
#include "app/ui/AppAlerts.h"
#include "app/ui/AppDrawing.h"
#include "app/ui/PrintMarginsView.h"
#include "app/ui/ThemeWatcher.h"
#include "app/ui/WindowCascade.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UserDefaults.h"

namespace kl {
namespace {

using test::processUntil;
using test::whenModal;
using Title = std::optional<std::string>;

std::vector<std::string> buttonTexts(QMessageBox& box) {
    std::vector<std::string> texts;
    for (QAbstractButton* button : box.buttons()) texts.push_back(button->text().remove('&').toStdString());
    return texts;
}

struct RunCase {
    const char* label;
    Title def, alt, other;
    std::vector<std::string> shown;
    int press;  // index into shown; -1 presses Escape
    int answer;
};

class RunAlertTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunAlertTest, ShowsTheGivenTitlesAndAnswersByPosition) {
    const auto& c = GetParam();
    std::vector<std::string> shown;
    std::string icon;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        shown = buttonTexts(box);
        icon = box.icon() == QMessageBox::Critical ? "critical" : "other";
        if (c.press < 0) {
            box.reject();
            return;
        }
        for (QAbstractButton* button : box.buttons())
            if (button->text().remove('&').toStdString() == c.shown[static_cast<std::size_t>(c.press)]) button->click();
    });
    const int answer = AppAlerts::runCriticalAlert("Unsaved changes", "Save them?", c.def, c.alt, c.other);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(icon, "critical");
    EXPECT_EQ(answer, c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, RunAlertTest,
    ::testing::Values(RunCase{"onlyAlternate", {}, "Quit", {}, {"Quit"}, 0, 1000},
                      RunCase{"noTitlesShowsOK", {}, {}, {}, {"OK"}, 0, 1000},
                      RunCase{"threeDefault", "Save", "Don't Save", "Cancel", {"Save", "Don't Save", "Cancel"}, 0, 1000},
                      RunCase{"threeAlternate", "Save", "Don't Save", "Cancel", {"Save", "Don't Save", "Cancel"}, 1, 1001},
                      RunCase{"threeOther", "Save", "Don't Save", "Cancel", {"Save", "Don't Save", "Cancel"}, 2, 1002},
                      RunCase{"escapeIsCancel", "Save", "Don't Save", "Cancel", {"Save", "Don't Save", "Cancel"}, -1, 1002},
                      RunCase{"defaultAndOther", "Replace", {}, "Keep", {"Replace", "Keep"}, 1, 1001}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RunInfoAlert, IsInformationalAndShowsTheInformativeText) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text, informative;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        icon = box.icon();
        text = box.text();
        informative = box.informativeText();
        box.buttons().front()->click();
    });
    EXPECT_EQ(AppAlerts::runInfoAlert("Done", "All 3 files", "OK"), 1000);
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(text, "Done");
    EXPECT_EQ(informative, "All 3 files");
}

TEST(SimpleOKAlert, OnAWindowIsAWindowModalSheetThatGoesAwayWhenClosed) {
    QMainWindow window;
    window.show();
    AppAlerts::criticalAlert("The file could not be saved", std::nullopt, &window);
    auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    QPointer<QMessageBox> box = boxes.front();
    EXPECT_TRUE(box->isVisible());  // open() did not block
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_TRUE(box->informativeText().isEmpty());
    ASSERT_EQ(box->buttons().size(), 1);
    box->buttons().front()->click();
    EXPECT_TRUE(processUntil([&] { return box.isNull(); }));
}

TEST(AlertSheet, HandsTheAnswerOverWhenAButtonIsPressed) {
    QMainWindow window;
    window.show();
    int answer = 0;
    AppAlerts::beginAlertSheet(&window, AlertButtons::Critical, "Do you want to save the changes?", std::nullopt,
                               AlertButtons("Save", "Don't Save", "Cancel"), [&](int response) { answer = response; });
    auto boxes = window.findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    QPointer<QMessageBox> box = boxes.front();
    EXPECT_EQ(buttonTexts(*box), (std::vector<std::string>{"Save", "Don't Save", "Cancel"}));
    EXPECT_EQ(answer, 0);  // nothing answered before a button is pressed
    box->buttons()[1]->click();
    EXPECT_EQ(answer, 1001);
    EXPECT_TRUE(processUntil([&] { return box.isNull(); }));
}

TEST(SimpleOKAlert, WithoutAWindowRunsModally) {
    bool seen = false;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        seen = box.windowModality() == Qt::ApplicationModal && box.icon() == QMessageBox::Information;
        box.buttons().front()->click();
    });
    AppAlerts::infoAlert("Nothing to do", "really", nullptr);
    EXPECT_TRUE(seen);
}

// ---- appearance

class PaletteScope {
public:
    explicit PaletteScope(const QPalette& palette) : saved_(QApplication::palette()) { QApplication::setPalette(palette); }
    ~PaletteScope() { QApplication::setPalette(saved_); }

private:
    QPalette saved_;
};

QPalette darkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(30, 30, 30));
    palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
    return palette;
}

QPalette lightPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    palette.setColor(QPalette::WindowText, QColor(10, 10, 10));
    return palette;
}

TEST(DarkMode, FollowsThePalette) {
    {
        PaletteScope dark(darkPalette());
        EXPECT_TRUE(AppAlerts::isDarkMode());
    }
    PaletteScope light(lightPalette());
    EXPECT_FALSE(AppAlerts::isDarkMode());
}

TEST(ThemeWatcherTest, APaletteChangeSetsTheDarkFlagThenPostsTheThreeNotificationsInOrder) {
    PaletteScope light(lightPalette());
    std::vector<bool> flags;
    std::vector<std::string> posted;
    ThemeWatcher watcher([&](bool dark) { flags.push_back(dark); });
    auto& center = NotificationCenter::defaultCenter();
    std::vector<Observation> observations;
    for (const char* name :
         {"Editing Font Changed Notification", "Source Font Changed Notification", "Tree Color Changed Notification"})
        observations.push_back(center.addObserver(name, nullptr, [&, name](const Notification&) {
            posted.push_back(name);
        }));
    QApplication::setPalette(darkPalette());
    EXPECT_TRUE(processUntil([&] { return posted.size() == 3; }));
    EXPECT_EQ(flags, std::vector<bool>{true});
    EXPECT_EQ(posted, (std::vector<std::string>{"Editing Font Changed Notification",
                                                "Source Font Changed Notification",
                                                "Tree Color Changed Notification"}));
}

// ---- window placement

TEST(WindowCascadeTest, ASecondWindowCascadesAndDoesNotTakeTheSavedFrame) {
    CascadePoints::shared().clear();
    const std::string name = "CascadeTestIndex";
    UserDefaults::standard().removeObjectForKey(WindowCascade::defaultsKey(name));
    QMainWindow first, second;
    first.setGeometry(120, 80, 400, 300);
    WindowCascade::setWindowFrameAutosaveNameOrCascade(&first, name);
    first.show();
    EXPECT_EQ(first.pos(), QPoint(120, 80));
    second.setGeometry(10, 10, 200, 100);
    WindowCascade::setWindowFrameAutosaveNameOrCascade(&second, name);
    second.show();
    EXPECT_EQ(second.pos(), QPoint(120 + CascadePoints::step, 80 + CascadePoints::step));

    // Only the owner of the name writes its frame.
    first.move(150, 90);
    EXPECT_TRUE(processUntil([&] {
        const auto saved = WindowCascade::savedFrame(name, UserDefaults::standard());
        return saved && saved->topLeft() == first.geometry().topLeft();
    }));
    second.move(600, 600);
    second.close();
    QApplication::processEvents();
    const auto saved = WindowCascade::savedFrame(name, UserDefaults::standard());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->topLeft(), first.geometry().topLeft());
}

TEST(WindowCascadeTest, ANewOwnerOpensWithTheSavedFrame) {
    CascadePoints::shared().clear();
    const std::string name = "CascadeTestBrowser";
    // A frame on the screen (the test screen is 800 by 800).
    WindowCascade::saveFrame(name, QRect(100, 150, 640, 480), UserDefaults::standard());
    QMainWindow window;
    WindowCascade::setWindowFrameAutosaveNameOrCascade(&window, name);
    EXPECT_EQ(window.geometry(), QRect(100, 150, 640, 480));
    UserDefaults::standard().setObject("12 x 3", WindowCascade::defaultsKey(name));
    EXPECT_FALSE(WindowCascade::savedFrame(name, UserDefaults::standard()));
}

// ---- drag images

TEST(AppDrawingTest, TheImageOfATextHasItsNaturalSizeAndShowsIt) {
    QFont font = QApplication::font();
    const QImage image = AppDrawing::imageWithString("@I12@ John /Smith/", font);
    EXPECT_EQ(image.size(), QFontMetrics(font).size(0, "@I12@ John /Smith/"));
    bool drawn = false;
    for (int y = 0; y < image.height() && !drawn; ++y)
        for (int x = 0; x < image.width() && !drawn; ++x) drawn = qAlpha(image.pixel(x, y)) != 0;
    EXPECT_TRUE(drawn);
    const QImage empty = AppDrawing::imageWithString("");
    EXPECT_FALSE(empty.isNull());
    EXPECT_EQ(qAlpha(empty.pixel(0, 0)), 0);
    // Several lines stack: the image grows downwards.
    EXPECT_GT(AppDrawing::imageWithString("a\nb", font).height(), AppDrawing::imageWithString("a", font).height());
}

// ---- print margins

TEST(PrintMarginsViewTest, FillsFromAndWritesBackTheFourMargins) {
    PrintMarginsView view;
    Dictionary info{{"LeftMargin", 36}, {"RightMargin", 54.5}, {"TopMargin", 72}, {"Orientation", 1}};
    view.fillMarginsCtrl(info);
    EXPECT_DOUBLE_EQ(view.leftMgnFld()->value(), 36);
    EXPECT_DOUBLE_EQ(view.rightMgnFld()->value(), 54.5);
    EXPECT_DOUBLE_EQ(view.topMgnFld()->value(), 72);
    EXPECT_DOUBLE_EQ(view.bottomMgnFld()->value(), 0);  // missing
    view.bottomMgnFld()->setValue(18);
    view.leftMgnFld()->setValue(-5);  // refused by the field
    view.readMarginsView(info);
    EXPECT_DOUBLE_EQ(info.get("LeftMargin")->toReal(), 0);
    EXPECT_DOUBLE_EQ(info.get("BottomMargin")->toReal(), 18);
    EXPECT_DOUBLE_EQ(info.get("RightMargin")->toReal(), 54.5);
    EXPECT_EQ(info.get("Orientation")->toInteger(), 1);  // other settings untouched
}

}  // namespace
}  // namespace kl
