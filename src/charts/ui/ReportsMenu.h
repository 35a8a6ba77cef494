#pragma once
// ReportsMenu: the index window's Reports menu and the desktop side of the
// reports: Validate GEDCOM... and Check Dates... open their options sheets
// on the window, Multimedia Summary, File Information and Validate HTML
// Links start at once, and the relatives reports open their options sheet
// when their maker is registered. Finished reports are stored as report
// records and open in a record window; runs wait behind the progress
// panel; failures are told in alerts on the window.
//
// Ownership: a child of its index window; borrows the document, which
// outlives the window. Thread: main thread.
#include <QObject>

#include <memory>
#include <string>
#include <vector>

#include "app/ui/QtDocumentUI.h"
#include "charts/ReportCommands.h"
#include "charts/ReportHost.h"

class QAction;
class QMenu;

namespace kl {

class DocController;
class GEDCOMDocument;
class IndexWindow;
class KLSheet;

// The wait of a report: QtDocumentUI's, with the bar determinate unless the
// report counts without a total.
class ReportProgressUI : public QtDocumentUI {
public:
    using QtDocumentUI::QtDocumentUI;
    void runProgress(KLProgress& task, const std::string& title, const std::string& label, double interval) override;
};

class ReportsMenu : public QObject, public ReportHost {
    Q_OBJECT
public:
    enum Tag {
        ValidateTag = 4601,
        CheckDatesTag,
        MultimediaTag,
        FileInformationTag,
        HTMLLinksTag,
        AhnentafelTag,
        AllRelativesTag,
        FamilyTreeTag,
    };

    // Gives every index window the controller makes a Reports menu, and
    // makes "Validate Now" after an import open the validation sheet.
    static void addToIndexWindows(DocController& controller);
    static ReportsMenu* addReportsMenu(IndexWindow& window);
    // The window's menu, if it has one.
    static ReportsMenu* of(IndexWindow& window);
    // The menu of the document's index window, if it has one.
    static ReportsMenu* forDocument(const GEDCOMDocument& document);
    // Registers the makers of the relatives reports that are built.
    static void registerRelativesReports();

    QMenu* menu() const { return menu_; }
    QAction* action(int tag) const;
    ReportCommands& commands() { return commands_; }
    // The sheet shown last, while it is open.
    KLSheet* openSheet() const;

    void validateGEDCOMData();
    void checkFileDates();
    void relativesReport(int tag);
    // The relatives report of the tag (Ahnentafel, All Relatives, Family
    // Tree) on the subject, its options sheet on `window`; for the family
    // tree report the subject is the tree window's FamilyTreeSubject and
    // `descendants` names its kind.
    void relativesReport(int tag, std::shared_ptr<Object> subject, QWidget& window, bool descendants = false);
    // Whether a maker of the tag's report is registered.
    static bool hasRelativesReport(int tag);

    // ---- ReportHost
    DocumentUI& ui() override { return ui_; }
    std::string displayName() override;
    std::vector<RecordPtr> selectedRecords() override;
    void alert(const std::string& message, const std::string& information) override;
    void addOpenReport(const std::string& body, const std::string& title) override;

private:
    explicit ReportsMenu(IndexWindow& window);
    void perform(int tag);
    void validateMenu();

    IndexWindow& window_;
    ReportProgressUI ui_;
    ReportCommands commands_;
    QMenu* menu_ = nullptr;
    std::vector<QAction*> actions_;
    QObject* sheet_ = nullptr;
};

}  // namespace kl
