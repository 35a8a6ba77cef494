// The toolbar style and the print rectangle: the decisions,
// without windows or printers; the desktop layer applies them.
#include "app/AppController.h"
#include "app/PrintOperation.h"
#include "app/ToolbarStyle.h"

namespace kl {

int ToolbarStyle::popupSize(int style) {
    switch (style) {
    case Expanded:
    case Preference: return 32;
    case Unified: return 28;
    case UnifiedCompact: return 22;
    default: return 28;
    }
}

void AppController::initializeToolbarStyle(Dictionary& values) {
    values.set(ToolbarStyle::defaultsKey, Value(ToolbarStyle::registeredStyle));
}

void AppController::setToolbarStylePreference(int style, UserDefaults& defaults) {
    defaults.setObject(Value(style), ToolbarStyle::defaultsKey);
}

int AppController::toolbarStylePreference(UserDefaults& defaults) {
    return static_cast<int>(defaults.integerForKey(ToolbarStyle::defaultsKey));
}

std::optional<int> AppController::toolbarStyleForWindow(UserDefaults& defaults) {
    const int style = toolbarStylePreference(defaults);
    if (!ToolbarStyle::appliesToWindows(style)) return std::nullopt;
    return style;
}

int AppController::toolDLPopupSize(std::optional<int> windowStyle, UserDefaults& defaults) {
    return ToolbarStyle::popupSize(windowStyle ? *windowStyle : toolbarStylePreference(defaults));
}

PrintRect AppController::printImageRect(const PrintPage& page, bool flipped) {
    PrintRect rect = page.imageable;
    if (flipped) rect.y = page.paperHeight - (rect.y + rect.height);
    return rect;
}

PrintRect AppController::currentPrintImageRect(bool flipped) {
    const PrintOperation* operation = PrintOperation::currentOperation();
    if (!operation) return {};
    return printImageRect(operation->printInfo(), flipped);
}

}  // namespace kl
