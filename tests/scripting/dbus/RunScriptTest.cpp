// Kinlore Editor's Save and Run reaching Kinlore II over the session bus:
// RunScript runs an internal script or an extension package under the run
// panel as the Extensions menu does, answering the caller first.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

#include <fstream>

#include "app/ui/KinloreApplication.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/UiTestSupport.h"
#include "scripting/ui/AppleScriptActivePanel.h"
#include "scripting/ui/KinloreScriptingDBus.h"
#include "scripting/ui/ScriptsDesktop.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

// The editor's own connection to the bus; "" when the call succeeded,
// else the error's text.
QString runScript(const fs::path& path) {
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "kinlore-editor");
    QDBusMessage message = QDBusMessage::createMethodCall(KinloreScriptingDBus::kService, KinloreScriptingDBus::kPath,
                                                         KinloreScriptingDBus::kInterface, "RunScript");
    message << QString::fromStdString(path.string());
    QDBusPendingCall pending = client.asyncCall(message);
    test::spinUntil([&pending] { return pending.isFinished(); });
    return pending.isError() ? pending.error().message() : QString();
}

class RunScriptOnTheBus : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        application = std::make_unique<KinloreApplication>(*defaults);
        application->setAlertPresenter([](const std::string&, const std::string&) {});
        application->setInfoPresenter([](const std::string&, const std::string&) {});
        scripts = std::make_shared<ScriptsDesktop>(*defaults);
        application->setScriptsHost(scripts);
        ASSERT_TRUE(application->launch());
        bus = std::make_unique<KinloreScriptingDBus>(*scripts);
        ASSERT_TRUE(bus->registerOn(QDBusConnection::sessionBus()));
        folder = root() / "scripts";
        fs::create_directories(folder);
    }
    void TearDown() override {
        bus.reset();
        scripts.reset();
        application.reset();
        AppHome::TearDown();
    }

    QtDispatcher dispatcher;
    Dispatcher::Scope mainThread{dispatcher};
    std::unique_ptr<KinloreApplication> application;
    std::shared_ptr<ScriptsDesktop> scripts;
    std::unique_ptr<KinloreScriptingDBus> bus;
    fs::path folder;
};

TEST_F(RunScriptOnTheBus, RunsAScriptFileOrAnExtensionUnderThePanel) {
    std::ofstream(folder / "Tally.klscpt") << "write \"tallied\"";
    const fs::path package = folder / "Tool.kplug";
    fs::create_directories(package);
    std::ofstream(package / "main.klscpt") << "write \"packed\"";
    std::ofstream(package / "manifest.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "<key>menu command</key><string>Packed Tool</string>\n"
           "<key>main</key><dict><key>main.klscpt</key><string></string></dict>\n</dict>\n</plist>\n";
    const struct {
        fs::path path;
        const char* status;
        const char* output;
    } cases[] = {
        {folder / "Tally.klscpt", "Script 'Tally' is done", "tallied"},
        {package, "Script 'Packed Tool' is done", "packed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        EXPECT_EQ(runScript(c.path).toStdString(), "");
        AppleScriptActivePanel& panel = scripts->panel();
        ASSERT_TRUE(test::processUntil([&] { return panel.statusText().toStdString() == c.status; }))
            << panel.statusText().toStdString();
        EXPECT_EQ(panel.outputText().toStdString(), c.output);
    }
}

}  // namespace
}  // namespace kl
