#pragma once
// AppController: Tempolin's application delegate. It registers the
// calculator's defaults in Tempolin's own domain, makes the calculator
// window, opens the help and the preferences, offers the calculator on the
// session bus, comes forward when Tempolin is started again, and stores
// pending preferences when the application ends.
//
// Thread: main thread. Owns the calculator window, the preferences window
// (made on first use) and the bus service.
#include <QObject>

#include <memory>

class QMenu;
class QMenuBar;

namespace kl {
class SingleInstance;
class TPController;
class TempolinDBus;
}

namespace kl::tempolin {

class PreferencesController;

class AppController : public QObject {
    Q_OBJECT
public:
    AppController();
    ~AppController() override;

    // Registers the defaults of the four settings.
    static void registerDefaults();

    TPController& mainController() { return *mainController_; }
    PreferencesController* preferencesController() const { return preferencesController_.get(); }
    TempolinDBus& bus() { return *bus_; }

    void showHelp();
    void showPreferencePanel();
    void applicationWillTerminate();
    // The Quit command: settings are stored before the windows close.
    void terminate();
    // A second start handed over: the window comes forward.
    void bringForward();

    // The help page shipped beside the program.
    static QString helpPath();
    // The first menu gets an empty "Services" submenu at place 3 unless it
    // has an item of that title; answers the services menu (nullptr when
    // the bar has no menu).
    static QMenu* insertServicesMenu(QMenuBar* bar);
    QMenu* servicesMenu() const { return servicesMenu_; }

private:
    std::unique_ptr<TPController> mainController_;
    std::unique_ptr<PreferencesController> preferencesController_;
    std::unique_ptr<TempolinDBus> bus_;
    QMenu* servicesMenu_ = nullptr;
};

}  // namespace kl::tempolin
