#pragma once
// LibraryFolder: the one library service of Kinlore II. It owns the user's
// library on disk ($XDG_DATA_HOME/Kinlore II/ with "Formats", "Bookmarks",
// "Scripts", "Modules") and inside it the "System" copy of the program's
// "KinloreIIAppSupport" resources, which it installs, updates and restores;
// the current interface format (through its Templates object) and the
// per-format state a load hands back (editing settings, language table,
// event definitions); the library data lists and country names; and the
// model of the library menus.
//
// Windows are not its business: alerts and the install question go
// through LibraryPrompts, which the desktop layer fills and tests record.
//
// Ownership: made once at launch and kept to the end; owns its Templates,
// EditingPrefs and menus. Thread: main thread, except the install workers,
// which only copy files and write the atomic install status.
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/EditingPrefs.h"
#include "app/LibraryMenus.h"
#include "foundation/UserDefaults.h"
#include "foundation/Value.h"
#include "model/LibraryServices.h"
#include "script/Templates.h"
#include "script/TemplatesDelegate.h"

namespace kl {

class LibraryFolder;

// The windows' side of the library: alerts and the install question.
struct LibraryPrompts {
    std::function<void(const std::string& message, const std::string& information)> criticalAlert;
    std::function<void(const std::string& message, const std::string& information)> infoAlert;
    // Before an update (false) or a restore (true): 0 cancel, 1 merging
    // install, 2 clean install.
    std::function<int(bool restore)> askInstall;
    // While the install worker runs: the desktop layer waits a moment and
    // then shows a progress panel that polls the library (fractionDone(),
    // stillRunning()) until it ends. Without it the caller just waits.
    std::function<void(LibraryFolder& library)> waitForInstall;
};

// One event or attribute the current format offers: the key of its event
// list, the GEDCOM tag it is written with ("EVEN" and "FACT" keys keep
// their key as the name key), the format's name key and the localised name.
struct EventDefinition {
    std::string key;
    std::string tag;
    std::string nameKey;
    std::string name;
};

class LibraryFolder : public TemplatesDelegate {
public:
    enum class InstallMode { Silent, Update, Restore };

    static constexpr const char* libraryName = "Kinlore II";
    static constexpr const char* olderLibraryName = "KinloreII";
    static constexpr const char* supportFolderName = "KinloreIIAppSupport";
    static constexpr const char* defaultFormatName = "Default Format.kfrmt";
    static constexpr const char* currentFormatKey = "Path to current editing format";
    static constexpr std::filesystem::perms rootLibraryAttributes = std::filesystem::perms(0755);

    explicit LibraryFolder(UserDefaults& defaults = UserDefaults::standard(), LibraryPrompts prompts = {});
    ~LibraryFolder() override;
    LibraryFolder(const LibraryFolder&) = delete;
    LibraryFolder& operator=(const LibraryFolder&) = delete;

    // ---- Paths and set-up -------------------------------------------------
    // $XDG_DATA_HOME when absolute, else ~/.local/share.
    static std::filesystem::path userDataFolder();
    // The program's "KinloreIIAppSupport" resource folder.
    static std::filesystem::path bundleSupportFolder();
    const std::string& libraryPath() const { return libraryPath_; }          // trailing "/"
    // The sample database of the installed System folder, below the library.
    static constexpr std::string_view sampleDatabase = "System/Radavizu/Brennow.gedpkg";
    std::filesystem::path sampleDatabasePath() const { return std::filesystem::path(libraryPath_) / sampleDatabase; }
    const std::string& rootLibraryPath() const { return rootLibraryPath_; }  // trailing "/"

    // Raises "NSInternalInconsistencyException" or "KLInitializeError" when
    // the library cannot be made or the System format cannot be opened.
    void setupLibrary();
    void createLibraryFolder(const std::string& relative);
    void createRootLibraryFolder(const std::string& relative);
    static void createLibraryDirectoryAtPath(const std::filesystem::path& path,
                                             std::optional<std::filesystem::perms> attributes);
    void createFormats();
    std::vector<std::filesystem::path> getInternalFormats() const;
    void createSystemResources();
    std::filesystem::path libraryFile(const std::string& relative) const;
    std::filesystem::path rootLibraryFile(const std::string& relative) const;
    Dictionary libraryDictionary(const std::string& relative) const;

    // ---- Current format -----------------------------------------------------
    void openCurrentFormat(const std::optional<std::string>& previous);
    void switchToDefaultFormat();
    std::filesystem::path systemDefaultFormat() const;
    Templates& templates() { return *templates_; }
    EditingPrefs& editingPrefs() { return editingPrefs_; }
    const EditingPrefs& editingPrefs() const { return editingPrefs_; }
    const Dictionary& localStrings() const { return localStrings_; }
    void setLocalStrings(Dictionary strings) { localStrings_ = std::move(strings); }
    std::string localString(const std::string& key) const;
    const std::vector<EventDefinition>& individualEvents() const { return individualEvents_; }
    const std::vector<EventDefinition>& familyEvents() const { return familyEvents_; }
    void changeLanguage();
    // Hands the GEDCOM tree a snapshot of the strings, events and tag lists.
    void publishServices();

    // TemplatesDelegate
    void saveCurrentFormat() override;
    void createEditingPreferences(const std::filesystem::path& editingList) override;
    bool createEditingStrings(const std::filesystem::path& languageList) override;
    void createIndiFamEvents(const std::filesystem::path& eventList, const std::string& type) override;
    void checkCurrentFormat() override;
    void infoAlert(const std::string& message, const std::string& information) override;

    // ---- System install -------------------------------------------------------
    void installSystemResources(bool checkVersions);
    void installSystemNow(InstallMode mode);
    // The workers; they run on their own thread inside installSystemNow().
    void installResourceThread();
    void installSystemFileOrFolderName(const std::string& relative, const std::filesystem::path& source);
    void cleanInstallResourceThread();
    void finishRestore();
    // The resource version of a "version.plist"; nullopt when unreadable.
    static std::optional<std::int64_t> systemVersion(const std::filesystem::path& versionList);
    double fractionDone() const;
    bool stillRunning() const;
    std::optional<std::string> installErrorMessage() const;

    // ---- Library data -----------------------------------------------------------
    void readMergeKLLibrary();
    // An entry of the library data; nullptr when absent.
    const Value* klDictionary(const std::string& key) const { return klDictionary_.get(key); }
    const Dictionary& libraryData() const { return klDictionary_; }
    void readCountryCodes();
    std::optional<std::string> countryForCode(const std::string& code) const;

    // ---- Application fonts and colours ------------------------------------------
    // The program's own fonts (rows 0-3) and colours (light rows 0-11, dark
    // rows 0-9), kept in the user defaults; the rows after them in the
    // preferences tables are the current format's (EditingPrefs).
    static constexpr int systemFontRows = 4;
    static constexpr int systemColorRows = 12;
    static constexpr int systemDarkColorRows = 10;
    static constexpr const char* sourceFontChanged = "Source Font Changed Notification";
    static constexpr const char* treeFontChanged = "Tree Font Changed Notification";
    static constexpr const char* treeChartFontChanged = "Tree Chart Font Changed Notification";
    static constexpr const char* treeColorChanged = "Tree Color Changed Notification";
    // Reads every row from its default, the fallback where it cannot be read.
    void readFontsAndColors();
    const std::vector<Font>& systemFonts() const { return systemFonts_; }
    const std::vector<Color>& systemColors() const { return systemColors_; }
    const std::vector<Color>& systemColorsDark() const { return systemColorsDark_; }
    // Rows outside the lists answer the fallback of row 0.
    Font systemFont(int row) const;
    // The row's font, no larger than 12 points (table headers).
    Font headerFont(int row) const;
    Color systemColor(int row) const;
    Color systemColorDark(int row) const;
    // Row 0-9 in the appearance shown.
    Color themeColor(int row) const;
    // Store the row under its default and tell the windows; a colour of the
    // appearance not shown is stored without a word.
    void setSystemFont(int row, const Font& font);
    void setSystemColor(int row, const Color& color);
    void setSystemColorDark(int row, const Color& color);
    void notifySystemColorChange(int row);
    bool inDarkMode() const { return inDarkMode_; }
    // Also switches the format's fonts and colours.
    void setInDarkMode(bool dark);

    // Rows of the preferences tables: application rows first, then the
    // format's light lines (their dark partners lie numberOf...Lines on).
    std::string localFontName(int row) const;
    std::string localColorName(int row) const;
    Font fontForRow(int row) const;
    // -1 for the application's rows, which have no underline.
    int fontUnderlineForRow(int row) const;
    Color fontColorForRow(int row) const;
    std::vector<Color> fontColorsForRow(int row) const;
    Color colorForRow(int row) const;
    Color darkColorForRow(int row) const;
    std::vector<Color> colorsForRow(int row) const;

    // ---- Menus --------------------------------------------------------------------
    LibraryMenus& menus() { return menus_; }
    void buildScriptsMenu();
    void buildBookmarksMenu();

    // Shut-down: the current format's changed settings are written back.
    void libTerminate();

private:
    void openFormat(const std::string& path);
    void openSystemFormat();
    void setInstallError(const char* message);
    bool copyItem(const std::filesystem::path& from, const std::filesystem::path& to);
    bool removeItem(const std::filesystem::path& path);
    std::string currentFormatPath() const;
    void criticalAlert(const std::string& message, const std::string& information) const;

    UserDefaults& defaults_;
    LibraryPrompts prompts_;
    std::string libraryPath_;
    std::string rootLibraryPath_;
    std::unique_ptr<Templates> templates_;
    EditingPrefs editingPrefs_;
    Dictionary localStrings_;
    std::weak_ptr<const LibraryServices> published_;
    std::vector<EventDefinition> individualEvents_;
    std::vector<EventDefinition> familyEvents_;
    Dictionary klDictionary_;
    Dictionary countryCodes_;
    LibraryMenus menus_;
    std::vector<Font> systemFonts_;
    std::vector<Color> systemColors_;
    std::vector<Color> systemColorsDark_;
    bool inDarkMode_ = false;

    std::atomic<int> installItemCount_{0};
    std::atomic<int> installItemsDone_{0};
    mutable std::mutex installErrorMutex_;
    std::optional<std::string> installErrorMessage_;
};

}  // namespace kl
