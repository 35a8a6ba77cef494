#pragma once
// DocumentMenus: the menus every window of a document carries, made by one
// factory: Records > New > (every kind of record and the family commands),
// Records > Home Records, Read to Me, Send Date to Tempolin and the outside
// searches, and Edit > Copy Special. The items are validated as their menu
// opens (the family items take their titles then); the window's toolbar
// hands the document's items here too, and is validated without retitling.
//
// It is the desktop half of the document's commands: alerts and sheets on
// the window, the clipboard, speech, Tempolin over the session bus and the
// browser. What only the window knows (its records, selecting and opening
// them) comes in through Window.
//
// Ownership: a child of the window; borrows the document and the user
// defaults, which outlive the window. Thread: main thread.
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/DocumentCommands.h"

class QAction;
class QMainWindow;
class QMenu;

namespace kl {

class GEDCOMDocument;
class MultimediaOptions;
class PageLayoutSheet;
class UserDefaults;

class DocumentMenus : public QObject, public DocumentCommandsHost {
    Q_OBJECT
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    // Configuration keys in the user defaults; neither has a default.
    static constexpr const char* kGenealogySearchKey = "Genealogy Search Address";
    static constexpr const char* kTempolinDownloadKey = "Tempolin Download Address";

    struct Window {
        std::function<RecordPtr()> keyRecord;
        std::function<std::vector<RecordPtr>()> keyRecords;
        std::function<void(const RecordPtr&)> select;
        std::function<void(const RecordPtr&, bool linkFile)> open;
        std::function<void()> beep;
    };

    // Adds the items to the window's Edit and Records menus.
    static DocumentMenus* addDocumentMenus(QMainWindow& window, GEDCOMDocument& doc, UserDefaults& defaults,
                                           QMenu* edit, QMenu* records, Window hooks);

    DocumentCommands& commands() { return commands_; }
    // Toolbar items and other entry points: false for a tag not served here.
    bool performCommand(int tag);
    // nullopt for a tag not served here.
    std::optional<DocumentMenuAnswer> validateMenuTag(int tag);
    QMenu* newMenu() const { return newMenu_; }
    QMenu* homeMenu() const { return homeMenu_; }
    QAction* action(int tag) const;
    QAction* tempolinAction() const { return tempolin_; }

    // The page set-up sheet on the window for the print settings of a
    // context: 0 lists (the index window), 1 record browsers, 2 charts
    // (no margins accessory). OK stores paper, orientation and margins in
    // the document's settings of that context.
    PageLayoutSheet* runPageLayout(int context);

    // The document's multimedia options window, made on first use and
    // titled "%@ Multimedia Options" after the file when there is one.
    MultimediaOptions* showMultimediaOptions();
    // Makes sure the window exists without showing it; one that existed
    // stops its updates and closes.
    MultimediaOptions* noShowMultimediaOptions();
    QAction* genealogyAction() const { return genealogy_; }

    // How dates reach Tempolin; tests put a fake bus peer's program here.
    static void setTempolinProgram(const QString& program, int startMilliseconds);

    // ---- DocumentCommandsHost
    RecordPtr keyWindowRecord() override;
    std::vector<RecordPtr> keyWindowRecords() override;
    void selectRecord(const RecordPtr& record) override;
    void openRecordLater(const RecordPtr& record, bool linkFile) override;
    void beep() override;
    void informationalAlert(const std::string& message, const std::string& information) override;
    void criticalAlert(const std::string& message, const std::string& information) override;
    void askQuestion(const std::string& message, const std::string& information,
                     const std::vector<std::string>& buttons, bool critical, Answer answer) override;
    void showNewFamilySheet(std::function<void(int code, const Array& settings)> ended) override;
    void showSearchTermsSheet(const Terms& terms, std::function<void(int code, const Terms& terms)> ended) override;
    void setClipboardText(const std::string& text) override;
    void speak(const std::string& text, double minVolume, const std::string& title) override;
    bool sendDateToTempolin(const std::string& date) override;
    void openAddress(const std::string& address) override;
    void launchSearch(const std::string& words, int tag) override;

private:
    DocumentMenus(QMainWindow& window, GEDCOMDocument& doc, UserDefaults& defaults, Window hooks);
    QAction* addItem(QMenu* menu, const QString& title, int tag);
    void validateMenu(QMenu* menu);
    void fillHomeMenu();

    QMainWindow& window_;
    GEDCOMDocument& doc_;
    Window hooks_;
    DocumentCommands commands_;
    std::vector<QAction*> actions_;
    QMenu* newMenu_ = nullptr;
    QMenu* homeMenu_ = nullptr;
    QAction* tempolin_ = nullptr;
    QAction* genealogy_ = nullptr;
    QObject* speech_ = nullptr;
};

}  // namespace kl
