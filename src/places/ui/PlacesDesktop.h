#pragma once
// PlacesDesktop: puts the places subsystem into the program's windows: the
// Derev Azeduze toolbar item of every window opens the place advisor, each
// index window's Reports menu gets "Place Events Report", which lists the
// events that cite the selected place record, and a place's map boxes show
// as web maps in its record window, drawn with the settings of the given
// defaults (which must outlive the program's windows).
//
// Thread: main thread; install once, after the Reports menu is installed.
namespace kl {

class DocController;
class IndexWindow;
class UserDefaults;

class PlacesDesktop {
public:
    static constexpr int kPlaceEventsReportTag = 9009;

    static void install(DocController& controller, UserDefaults& defaults);
    // Adds the report's item to the window's Reports menu, if it has one.
    static void addToIndexWindow(IndexWindow& window);
    // The place events report of the window's selected place record; a
    // beep when no place record is selected.
    static void placeEventsReport(IndexWindow& window);
};

}  // namespace kl
