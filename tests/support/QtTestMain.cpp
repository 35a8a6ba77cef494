// The main of every Qt test program: one QApplication for the whole run,
// on the offscreen platform unless the environment names another, with
// its own temporary XDG folders so that no test reads or writes the
// user's settings, caches or library.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

#include <gtest/gtest.h>

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
    return RUN_ALL_TESTS();
}
