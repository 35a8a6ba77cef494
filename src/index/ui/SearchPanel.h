#pragma once
// SearchPanel: the search window of one database ("<file> Search"). Above,
// the criterion rows (SearchView of SearchCriterionView rows); below, the
// hits grouped by record type in an outline whose second column shows what
// made each record a hit. Search starts a SearchRun on a worker; a
// 0.25-second timer brings its hits onto the screen and ends the search on
// screen once the worker is done or stopped. Hits open on a double click,
// drag as record IDs, and go into an album through the save pop-up.
//
// Ownership: a child window of the index window, which makes it once and
// keeps it (and its last hits) when it is closed; it registers itself with
// the document's windows while shown. Borrows the document and its index
// controller, which outlive it. Thread: main thread.
#include <QStandardItemModel>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/GEDCOMWindowController.h"
#include "foundation/NotificationCenter.h"
#include "index/SearchCriteria.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace kl {

class DocumentWindows;
class GEDCOMDocument;
class IndexController;
class SearchRun;
class SearchView;

// One criterion row, built in code.
class SearchCriterionView : public QWidget {
    Q_OBJECT
public:
    SearchCriterionView(SearchView& parent, GEDCOMDocument& doc);

    int displayState() const { return displayState_; }
    void changeOption(int kind);
    void changeCompare(int comparison);
    // Off: only contains, does not contain and the two regex comparisons.
    void enableCompareOptions(bool all);
    void updateAlbumMenu();
    CriterionRow readRow() const;
    // The row's visible text fields, in tab order.
    std::vector<QWidget*> tabFields() const;

    QComboBox* optionsMenu() const { return options_; }
    QComboBox* conditionalMenu() const { return compare_; }
    QComboBox* recordTypeMenu() const { return recordTypes_; }
    QComboBox* albumNamesMenu() const { return albums_; }
    QLineEdit* searchTextFld() const { return text_; }
    QLineEdit* expressionTextFld() const { return expression_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }

private:
    SearchView& parent_;
    GEDCOMDocument& doc_;
    int displayState_ = 0;
    QComboBox* options_;
    QComboBox* recordTypes_;
    QComboBox* albums_;
    QLineEdit* expression_;
    QComboBox* compare_;
    QLineEdit* text_;
    QPushButton* add_;
    QPushButton* remove_;
    std::vector<Observation> observations_;
};

// The stack of criterion rows; there is always at least one.
class SearchView : public QWidget {
    Q_OBJECT
public:
    SearchView(GEDCOMDocument& doc, QWidget* parent);
    const std::vector<SearchCriterionView*>& rows() const { return rows_; }
    void addCriterion(SearchCriterionView* after);
    // With one row left it beeps and keeps it.
    void removeCriterion(SearchCriterionView* row);
    std::vector<CriterionRow> readRows() const;
    void setTabKeyLoop();
    int beeps() const { return beeps_; }

signals:
    void returnInSearchField();

private:
    GEDCOMDocument& doc_;
    std::vector<SearchCriterionView*> rows_;
    int beeps_ = 0;
};

// The hits: group rows and record rows; drags write record IDs.
class SearchHitsModel : public QStandardItemModel {
    Q_OBJECT
public:
    static constexpr int kRecordRole = Qt::UserRole + 1;
    SearchHitsModel(const void* document, QObject* parent) : QStandardItemModel(parent), document_(document) {}
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const void* document_;
};

class SearchPanel : public GEDCOMWindowController {
    Q_OBJECT
public:
    static constexpr int kSaveMenuFixedItems = 3;

    SearchPanel(GEDCOMDocument& doc, IndexController& index, DocumentWindows& windows, QWidget* parent);
    ~SearchPanel() override;

    // The document's search command: registers the window again when it
    // was closed, titles it and brings it to the front.
    void showSearch();
    // The Search button and Return in a criterion's field: starts a search,
    // or stops the running one.
    void startSearching();
    bool isSearching() const;
    // Shows new hits; ends the search on screen once the worker is done.
    void trackSearchProgress();
    // Saves every hit (the pop-up) or the selected hits (a menu item) into
    // the album of the tag; 4501 makes one.
    void saveToAlbum(int tag, bool allHits);

    // ---- GEDCOMWindowController
    Record selectedRecord() override;
    std::optional<Records> selectedRecords() override;
    Records listedRecords(bool forScript) override;

    SearchView* searchOptions() const { return searchOptions_; }
    QTreeView* searchResults() const { return results_; }
    SearchHitsModel* hitsModel() const { return hits_; }
    QPushButton* searchButton() const { return searchButton_; }
    QLabel* noResultsField() const { return noResults_; }
    QComboBox* albumMenu() const { return albumMenu_; }
    int searchHits() const { return searchHits_; }
    int beeps() const { return beeps_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Controller;
    struct Group {
        std::string name;
        std::vector<Record> records;
        QStandardItem* item;
    };
    void beep();
    void alert(const std::string& message, const std::string& information);
    void addHits();
    void expandGroups();
    void finishSearch();
    void recordDeleted(const Notification& note);
    void reloadAlbumMenu();
    void refreshFoundTexts();
    Record recordOf(const QModelIndex& index) const;
    void openHit(const QModelIndex& index);

    GEDCOMDocument& doc_;
    IndexController& index_;
    DocumentWindows& windows_;
    std::shared_ptr<Controller> controller_;
    SearchView* searchOptions_;
    QTreeView* results_;
    SearchHitsModel* hits_;
    QPushButton* searchButton_;
    QProgressBar* statusWheel_;
    QComboBox* albumMenu_;
    QLabel* noResults_;
    QTimer* timer_;
    std::vector<Group> foundRecords_;
    std::unique_ptr<SearchRun> run_;
    int searchHits_ = 0;
    int lastHits_ = 0;
    int beeps_ = 0;
    std::vector<Observation> observations_;
};

}  // namespace kl
