// The main of every Qt test program: one QApplication for the whole run,
// on the offscreen platform unless the environment names another, with
// its own temporary XDG folders so that no test reads or writes the
// user's settings, caches or library.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "ModalWaits.h"

namespace {

// A test that ends while its wait for a modal dialog is still armed has
// not seen the dialog it expected; it fails here rather than letting the
// wait fire into the next test.
class ModalWaitCheck : public ::testing::EmptyTestEventListener {
public:
    bool failed = false;

private:
    void OnTestEnd(const ::testing::TestInfo& test) override {
        if (kl::test::cancelModalWaits() == 0) return;
        failed = true;
        std::fprintf(stderr, "%s.%s ended while still waiting for a modal dialog\n", test.test_suite_name(),
                     test.name());
    }
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir home;
    if (home.isValid()) {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            const QString path = home.filePath(QString::fromLatin1(name));
            QDir().mkpath(path);
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            setenv(name, path.toLocal8Bit().constData(), 1);
        }
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    auto* check = new ModalWaitCheck;
    ::testing::UnitTest::GetInstance()->listeners().Append(check);
    const int result = RUN_ALL_TESTS();
    return check->failed ? 1 : result;
}
