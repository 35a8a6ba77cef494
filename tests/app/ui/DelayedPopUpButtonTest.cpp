// The click-and-hold toolbar button: a quick click runs its command once,
// holding the mouse still shows the menu instead, a release outside does
// nothing, and without a menu holding is just a long click.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>

#include "app/ui/DLDelayedPopUpButton.h"
#include "app/ui/UiTestSupport.h"

namespace kl {
namespace {

TEST(DLDelayedPopUpButton, ClickHoldAndReleaseOutside) {
    struct Case {
        const char* name;
        bool withMenu;
        int holdMilliseconds;
        bool releaseInside;
        int clicks;
        bool menuShown;
    };
    const int hold = DLDelayedPopUpButton::kHoldMilliseconds;
    for (const Case& c : {Case{"quick click", true, 0, true, 1, false},
                          Case{"held still", true, hold + 300, true, 0, true},
                          Case{"released outside", true, 0, false, 0, false},
                          Case{"held without a menu", false, hold + 300, true, 1, false}}) {
        SCOPED_TRACE(c.name);
        QWidget window;
        window.resize(200, 100);
        auto* button = new DLDelayedPopUpButton(&window);
        button->setText("Back");
        button->setGeometry(10, 10, 60, 40);
        QMenu menu;
        menu.addAction("Earlier record");
        if (c.withMenu) button->setPopUpMenu(&menu);
        int clicks = 0;
        int filled = 0;
        QObject::connect(button, &QToolButton::clicked, [&] { ++clicks; });
        QObject::connect(button, &DLDelayedPopUpButton::aboutToShowPopUp, [&] { ++filled; });
        window.show();
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 20));
        if (c.holdMilliseconds > 0) {
            QElapsedTimer timer;
            timer.start();
            test::spinUntil([&] { return timer.elapsed() > c.holdMilliseconds; });
        }
        EXPECT_EQ(menu.isVisible(), c.menuShown);
        EXPECT_EQ(filled, c.menuShown ? 1 : 0);
        menu.hide();
        QTest::mouseRelease(button, Qt::LeftButton, {}, c.releaseInside ? QPoint(20, 20) : QPoint(150, 80));
        QApplication::processEvents();
        EXPECT_EQ(clicks, c.clicks);
    }
}

}  // namespace
}  // namespace kl
