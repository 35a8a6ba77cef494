// The kinlore-editor program itself, started as a user starts it: on the
// command line with a package, on the offscreen platform.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>

#include "../EditorTestSupport.h"
#include "app/ui/WindowCascade.h"
#include "foundation/UserDefaults.h"

namespace kl {
namespace {

class EditorProgramTest : public test::EditorTest {};

TEST_F(EditorProgramTest, OpensAPackageAndQuitsCleanlyWhenTheSessionEnds) {
    const test::fs::path package = scratch("Sample Format.kfrmt");
    test::fs::copy(test::shippedDefaultFormat(), package, test::fs::copy_options::recursive);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(scratch("config").string()));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(scratch("data").string()));
    QProcess program;
    program.setProcessEnvironment(environment);
    // The program starts with SIGTERM blocked, so the one sent below waits
    // for its handler however early it comes.
    sigset_t term, saved;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &term, &saved);
    program.start(KL_KINLORE_EDITOR, {QString::fromStdString(package.string())});
    const bool started = program.waitForStarted(10000);
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    ASSERT_TRUE(started) << program.errorString().toStdString();

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(60000)) << "the program did not end";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    // The window was shown (its frame is remembered) and the defaults were
    // written on the way out, in the program's own domain.
    UserDefaults stored("Kinlore Editor", scratch("config") / "Kinlore II");
    EXPECT_TRUE(stored.stringForKey(WindowCascade::defaultsKey("GEDCOMEditorWindow")).has_value());
}

}  // namespace
}  // namespace kl
