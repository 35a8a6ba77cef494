// One instance per user: a second start hands its files over and the
// running one receives them, also when they arrive before it looks.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

#include "UiTestSupport.h"
#include "app/ui/SingleInstance.h"

namespace kl {
namespace {

class Instances : public ::testing::Test {
protected:
    QString socket() const { return folder.filePath("kinlore.socket"); }
    QTemporaryDir folder;
};

TEST_F(Instances, ASecondStartHandsItsFilesToTheRunningOne) {
    SingleInstance running(socket());
    ASSERT_TRUE(running.listen());
    std::vector<QStringList> received;
    QObject::connect(&running, &SingleInstance::filesReceived, [&](const QStringList& files) { received.push_back(files); });

    SingleInstance second(socket());
    ASSERT_TRUE(second.handOff({"/data/My Tree.gedpkg", "/data/new\nline.ged"}));
    ASSERT_TRUE(test::spinUntil([&] { return !received.empty(); }));
    EXPECT_EQ(received[0], (QStringList{"/data/My Tree.gedpkg", "/data/new\nline.ged"}));

    // A start without files only asks the running one to come forward.
    ASSERT_TRUE(SingleInstance(socket()).handOff({}));
    ASSERT_TRUE(test::spinUntil([&] { return received.size() == 2; }));
    EXPECT_TRUE(received[1].isEmpty());
}

TEST_F(Instances, WithoutARunningInstanceNothingIsHandedOff) {
    EXPECT_FALSE(SingleInstance(socket()).handOff({"/a.ged"}, 200));
}

TEST_F(Instances, ASocketLeftByADeadInstanceIsReplaced) {
    std::ofstream(socket().toStdString()) << "stale";
    SingleInstance running(socket());
    EXPECT_TRUE(running.listen());
    EXPECT_TRUE(SingleInstance(socket()).handOff({"/a.ged"}));
}

TEST(InstanceSocket, IsPerUser) {
    const QString path = SingleInstance::defaultSocketPath();
    EXPECT_TRUE(path.endsWith("kinlore-ii.socket") || path.contains("kinlore-ii-")) << path.toStdString();
}

}  // namespace
}  // namespace kl
