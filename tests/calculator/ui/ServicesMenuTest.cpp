// Tempolin's first menu gets one "Services" submenu at place 3.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "calculator/ui/AppController.h"

namespace kl::tempolin {
namespace {

TEST(ServicesMenu, IsInsertedOnceAtPlaceThreeOfTheFirstMenu) {
    QMenuBar bar;
    QMenu* first = bar.addMenu("Tempolin");
    first->addAction("Preferences...");
    first->addSeparator();
    first->addAction("Hide");
    first->addAction("Quit Tempolin");
    bar.addMenu("Help")->addAction("Services");  // only the first menu counts

    QMenu* services = AppController::insertServicesMenu(&bar);
    ASSERT_NE(services, nullptr);
    ASSERT_EQ(first->actions().size(), 5);
    EXPECT_EQ(first->actions()[3]->text(), "Services");
    EXPECT_EQ(first->actions()[3]->menu(), services);
    EXPECT_TRUE(services->actions().isEmpty());

    // A first menu that has the item keeps it, and nothing is added.
    EXPECT_EQ(AppController::insertServicesMenu(&bar), services);
    EXPECT_EQ(first->actions().size(), 5);

    QMenuBar empty;
    EXPECT_EQ(AppController::insertServicesMenu(&empty), nullptr);
}

}  // namespace
}  // namespace kl::tempolin
