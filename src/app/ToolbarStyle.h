#pragma once
// ToolbarStyle: the toolbar styles a window can have and what each means for
// its buttons. The numbers are the ones stored under the "Toolbar Style"
// default and picked in the preferences (item i stores i + 1): 0 automatic
// (the window's own look), 1 expanded, 2 preference, 3 unified, 4 unified
// compact. The registered default is 1, which windows are left alone with;
// a stored 2, 3 or 4 is given to every window that has a toolbar.
//
// Linux has no older system without the styles: the stored style always
// counts, as on the newer desktops.
//
// Plain data: any thread.
namespace kl {

class ToolbarStyle {
public:
    enum Style : int { Automatic = 0, Expanded = 1, Preference = 2, Unified = 3, UnifiedCompact = 4 };
    // How the buttons of a window of the style show their titles.
    enum class Labels { IconOnly, UnderIcon };

    static constexpr const char* defaultsKey = "Toolbar Style";
    static constexpr int registeredStyle = Expanded;

    // Whether a stored style is given to windows: 2, 3 and 4 only.
    static bool appliesToWindows(int style) { return style == Preference || style == Unified || style == UnifiedCompact; }
    // Edge of the pop-up toolbar buttons: 32 for 1 and 2, 28 for 3, 22 for
    // 4 and 28 for any other style. The icons of a window's toolbars have
    // the same edge, so pop-up buttons line up with the others.
    static int popupSize(int style);
    // Titles under the icons for expanded and preference toolbars, icons
    // alone for the unified ones (and any other style).
    static Labels labels(int style) { return style == Expanded || style == Preference ? Labels::UnderIcon : Labels::IconOnly; }
};

}  // namespace kl
