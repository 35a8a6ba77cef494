#pragma once
// AppController: the class-wide services of the application that need no
// window: the registered user defaults, the resource lists shipped with the
// program, the archive form of fonts and colours kept in settings, the two
// persistent counters, version-number decoding, Soundex codes, the
// addresses of outside searches, the toolbar style and the imageable
// rectangle of the running print. The application delegate of the desktop
// layer builds on these.
//
// One instance is the application object of Kinlore II: it runs the launch
// steps, the start queue at the first activation, the later activations
// and shut-down, and owns the library folder (sharedLibrary()) for the
// whole run. Its windows are reached through the AppDesktop it is given.
//
// Thread: main thread, like the defaults it writes. The resource folder and
// the address opener are set once at start, before any worker runs.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Color.h"
#include "app/Font.h"
#include "app/PrintOperation.h"
#include "foundation/UserDefaults.h"
#include "foundation/Value.h"

namespace kl {

class AppDesktop;
class LibraryFolder;

class AppController {
public:
    // The running build: the version number (2.345 is version 2.3, beta 5)
    // and the build number.
    static constexpr float appVersionNumber = 2.0f;
    static constexpr int bundleVersion = 1;
    static constexpr const char* firstRunScript = "Scripts/First Run Tasks.klscpt";

    // ---- The application object ------------------------------------------
    explicit AppController(AppDesktop& desktop, UserDefaults& defaults = UserDefaults::standard());
    ~AppController();
    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    // The one application object while it lives, else nullptr.
    static AppController* myApp();
    // The one library folder, made at launch; nullptr before.
    static LibraryFolder* sharedLibrary();

    // The launch steps; false when one failed: the alert has been shown
    // and the desktop asked to terminate.
    bool applicationWillFinishLaunching();
    // First run of a newer build.
    void applicationDidFinishLaunching();
    void applicationDidBecomeActive();
    // Always true: the application terminates at once.
    bool applicationShouldTerminate();
    void applicationWillTerminate();
    // Runs the queued start-up steps, once in the life of the process.
    void runStartQueue();
    // Brings stored preferences of an older version up to date.
    void updateUserPreferences();

    // The steps still to run at the first activation; nullopt once run.
    const std::optional<std::vector<std::string>>& startQueue() const { return startQueue_; }
    bool launched() const { return launched_; }
    int openingError() const { return openingError_; }
    void setOpeningError(int code) { openingError_ = code; }

    // (whole part of (V x 1000 + 0.1)) + B x 10 + beta, with V and beta
    // decoded from the version number and B the build number.
    static std::int64_t versionStamp(float versionNumber, int buildNumber);

    // ---- Working folder --------------------------------------------------
    // The per-process scratch folder, ending in "/"; nullopt when none.
    static std::optional<std::string> workingDirectory();
    // $XDG_CACHE_HOME/Kinlore II/<process id>/ (made with its parents,
    // owner-only), else a uniquely named folder under the temporary folder.
    static void createWorkingDirectory();
    // Removes this process's folder with everything in it, and the
    // "Kinlore II" cache folder when no other process has one there.
    static void destroyWorkingDirectory();
    // $XDG_CACHE_HOME when absolute, else ~/.cache; empty when neither is known.
    static std::filesystem::path cachesFolder();

    // Tag of the web search; every other tag searches maps.
    static constexpr int webSearchTag = 10001;
    // Counters wrap to 0 when they reach this.
    static constexpr std::int64_t counterLimit = 100000000;

    // ---- User defaults -------------------------------------------------
    // Every registered key with its default, in registration order. Reads
    // the resource lists "Index", "PanelIndex" and "HelperApps" and raises
    // as readBundleDictionary() does when one is missing.
    static Dictionary registrationDefaults();
    // Registers registrationDefaults() into the given defaults. Nothing is
    // stored: only values that are later changed reach the file.
    static void initialize(UserDefaults& defaults = UserDefaults::standard());
    // Puts the archive of a font or colour into the dictionary under the key.
    static void defaultData(const Font& value, std::string key, Dictionary& values);
    static void defaultData(const Color& value, std::string key, Dictionary& values);
    // The chart entries, from "Initial Generations" to "Tree Chart Font";
    // also the "Default Style" chart preset.
    static void defaultTreePreferences(Dictionary& values);
    // "Toolbar Style" = 1: the stored style always counts on Linux.
    static void initializeToolbarStyle(Dictionary& values);
    // The registered "Path to current editing format": the user library's
    // default format, abbreviated with a tilde when it lies under $HOME.
    static std::string defaultFormatPath();

    // ---- Resources -----------------------------------------------------
    // The folder of resource lists: the one set, else "resources" beside
    // the running program.
    static std::filesystem::path resourcesFolder();
    static void setResourcesFolder(std::filesystem::path folder);
    // The property list "<name>.plist" of the resource folder as a
    // dictionary; raises "NSInternalInconsistencyException" when it is
    // missing, unreadable or not a dictionary.
    static Dictionary readBundleDictionary(std::string_view name);

    // ---- Archives of fonts and colours -----------------------------------
    static Data archive(const Font& font);
    static Data archive(const Color& color);
    // The font or colour held in the data; useDefault when there is no data
    // or the data is not an archive of that kind this program can read.
    static Font unarchive(const std::optional<Data>& data, const Font& useDefault);
    static Color unarchive(const std::optional<Data>& data, const Color& useDefault);
    // The font or colour of an archive in this program's form; nullopt,
    // with the reason in *why, for anything else (archives of other
    // programs included). Logs nothing.
    static std::optional<Font> readFontArchive(const Data& data, std::string* why = nullptr);
    static std::optional<Color> readColorArchive(const Data& data, std::string* why = nullptr);

    // ---- Counters --------------------------------------------------------
    // The next value of "Drag File Index" and of "Report counter": the
    // stored number, which is then advanced; from counterLimit on (or below
    // 0) the answer is 0 and 1 is stored.
    static std::int64_t dragIndex(UserDefaults& defaults = UserDefaults::standard());
    static std::int64_t reportCounter(UserDefaults& defaults = UserDefaults::standard());

    // ---- Toolbar style (ToolbarStyle.h) -----------------------------------
    // Stores the style picked in the preferences.
    static void setToolbarStylePreference(int style, UserDefaults& defaults = UserDefaults::standard());
    // The stored "Toolbar Style" (0 when there is none).
    static int toolbarStylePreference(UserDefaults& defaults = UserDefaults::standard());
    // The style a window with a toolbar is given: the stored one when it is
    // 2, 3 or 4; nullopt leaves the window alone.
    static std::optional<int> toolbarStyleForWindow(UserDefaults& defaults = UserDefaults::standard());
    // Edge of the pop-up toolbar buttons: for the style of the toolbar's
    // window when the toolbar belongs to one, else for the stored style.
    static int toolDLPopupSize(std::optional<int> windowStyle, UserDefaults& defaults = UserDefaults::standard());

    // ---- Printing (PrintOperation.h) -------------------------------------
    // The imageable bounds of the running print operation's page; the zero
    // rectangle when no operation runs on this thread. Flipped, y is
    // measured from the top: paper height - (y + height), size unchanged.
    static PrintRect currentPrintImageRect(bool flipped);
    static PrintRect printImageRect(const PrintPage& page, bool flipped);

    // ---- Small utilities -------------------------------------------------
    // The version cut to one decimal; *betaNumber receives the beta digit
    // (2.345 gives 2.3 and 5).
    static double decodeVersionNumber(float value, int* betaNumber);
    static std::string soundexForString(std::string_view text);
    // The words of a search text joined by "+" and percent-encoded for a
    // query; empty when no word is left.
    static std::string searchTerms(std::string_view text);
    // The address of the web search (tag webSearchTag) or map search.
    static std::string searchAddress(std::string_view text, int tag);
    // Logs and opens searchAddress() through the installed opener.
    static void launchGoogleSearch(std::string_view text, int tag);
    // Opens an outside address through the installed opener.
    static void openAddress(const std::string& address);
    // The desktop layer installs the opener of addresses; none only logs.
    static void setAddressOpener(std::function<void(const std::string&)> opener);
    // ---- Help and the product's pages (AppController+Help.cpp) -------------
    static constexpr const char* rightsNotice = "Copyright © the Kinlore developers. Free software.";
    // "2.0" for version number 2.0.
    static std::string shortVersionString();
    // "Version 2.0", or "Version 2.0(b3)" from build 2 on or when the build
    // is always wanted (the about panel).
    static std::string versionLine(bool alwaysWithBuild, int buildNumber = bundleVersion);
    static constexpr const char* helpFolderName = "Kinlore_Help";
    static constexpr const char* productSite = "https://kinlore.org";
    static constexpr const char* discussionGroupSite = "https://groups.google.com/group/kinlore-ii-discussions";
    static constexpr const char* supportAddress = "support@kinlore.org";
    // Names the folder of the Derev Azeduze's web cache below the caches folder.
    static constexpr const char* bundleIdentifier = "org.kinlore.KinloreII";
    // A file URL of the path, percent-encoded but for "/".
    static std::string fileAddress(const std::filesystem::path& path);
    // The help folder of the program's resources.
    static std::filesystem::path helpFolder();
    // Shows a help page in the application's own help viewer when "Open
    // Help in Browser" is off: the page file and the anchor within it.
    using HelpViewer = std::function<void(const std::filesystem::path& page, const std::string& anchor)>;
    static void setHelpViewer(HelpViewer viewer);
    // One page of the help folder ("Editing/attach"): in the browser, or
    // at its anchor in the help viewer (with a prefix the anchor is the
    // page with "/" made "_" and "Anchor" added).
    static void showAnchor(const std::string& page, const std::optional<std::string>& prefix,
                           UserDefaults& defaults = UserDefaults::standard());
    // The page of a menu or button tag; any other tag (or none) the front page.
    static void showHelp(std::optional<int> tag, UserDefaults& defaults = UserDefaults::standard());
    static std::optional<std::string> helpPageForTag(int tag);
    // The page of a format's or extension's own documentation, with a fresh
    // "helpType.css" copied beside it; nullopt when there is none.
    // Formats: "<language>.html", else "English.html".
    static std::optional<std::filesystem::path> formatHelpPage(const std::filesystem::path& format,
                                                               const std::string& language);
    // Extensions: the "help" file their "manifest.plist" names.
    static std::optional<std::filesystem::path> extensionHelpPage(const std::filesystem::path& extension);
    static void copyHelpStyleSheet(const std::filesystem::path& folder);
    // Tag 7005 the tutorials' index, any other the scripting tutorial.
    static void showTutorials(int tag);
    static void showFormatsWebSite();
    static void showScriptsWebSite();
    static void showTorvickWebSite();
    static void showDiscussionGroup();
    static void sendTorvickEmail();
    // The Derev Azeduze page by "Use Local Place Data": 0 the product's,
    // 1 this computer's web sharing, 2 the same on port 8080.
    static std::string derevAzeduzeAddress(int useLocalPlaceData, const std::string& localAddress,
                                           const std::string& loginName);
    // Removes the Derev Azeduze's web cache; false with the reason when it
    // could not be removed.
    static bool emptyPlaceAdivsorCache(std::string* error = nullptr);

    // Runs a script of a menu (type 0 system, 1 user, 2 format) with its
    // message; false while scripts cannot be run from here (it only logs).
    static bool runScript(const std::string& name, int type, const std::optional<std::string>& message);

private:
    static std::int64_t nextCounterValue(UserDefaults& defaults, const char* key);
    void launchSteps();
    void configureDatesAndRecords();
    void runStep(const std::string& step);
    void failLaunch(const std::string& reason);

    AppDesktop& desktop_;
    UserDefaults& defaults_;
    std::unique_ptr<LibraryFolder> library_;
    std::optional<std::vector<std::string>> startQueue_;
    bool launched_ = false;
    int openingError_ = 0;
};

}  // namespace kl
