#pragma once
// ScriptsHost: the scripts side of Kinlore II as the application object
// sees it. The scripting library fills it (the interpreter, the script run
// panel, the Extensions menu); the application only forwards its launch
// and activation steps and asks for the menu of each main window, so that
// the application library does not depend on the scripting one.
//
// Ownership: handed to the KinloreApplication before launch and kept by
// it. Thread: main thread.
class QMainWindow;

namespace kl {

class ScriptsHost {
public:
    virtual ~ScriptsHost() = default;

    // The next internal script gets a new interpreter.
    virtual void initScripts() = 0;
    // Adds the Extensions menu to a main window's menu bar.
    virtual void addMenus(QMainWindow& window) = 0;
};

}  // namespace kl
