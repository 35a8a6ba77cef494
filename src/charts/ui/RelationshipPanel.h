#pragma once
// RelationshipPanel: the relationship finder's sheet. Trees > Find
// Relationship... asks for a second individual and opens the sheet on the
// window: the search runs on a worker while the sheet stays usable, new rows
// show four times a second, the done button first stops the search and
// then closes the sheet, and the chart button (or a double click on a row)
// stores the chart of the selected relationship as a report and opens it;
// a finder with a single result closes itself then.
//
// Ownership: a child of the window it shows on, deleted when its sheet
// ends; it owns the search, whose worker it stops and waits for when it
// goes. Borrows the index window, which outlives its sheets.
// Thread: main thread.
#include <memory>

#include "app/ui/KLSheet.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace kl {

class GEDCOMRecord;
class INDIRecord;
class IndexWindow;
class RelationshipSearch;

class RelationshipPanel : public KLSheet {
    Q_OBJECT
public:
    static constexpr const char* kSheetName = "RelationshipPanel";
    static constexpr int kChartTag = 1;

    // Makes Trees > Find Relationship... of every index window open it.
    static void install();
    // The document's command: beeps unless `key` is an individual, else
    // asks for the second individual on the window and opens the finder.
    static bool findRelationship(IndexWindow& index, const std::shared_ptr<GEDCOMRecord>& key);

    RelationshipPanel(std::shared_ptr<INDIRecord> to, std::shared_ptr<INDIRecord> from, IndexWindow& index);
    ~RelationshipPanel() override;

    void beginRelationshipSheet(QWidget* window);

    QLabel* toNameText() const { return toNameText_; }
    QLabel* fromNameText() const { return fromNameText_; }
    QTableWidget* relationships() const { return relationships_; }
    QPushButton* doneButton() const { return doneButton_; }
    QPushButton* chartButton() const { return chartButton_; }
    QProgressBar* searchProgress() const { return searchProgress_; }
    const RelationshipSearch& search() const { return *search_; }
    bool searching() const;
    int beeps() const { return beeps_; }

public slots:
    void doneClick();
    // The chart of the selected row; a sender whose tag is 0 only stops
    // the search.
    void getChart(QObject* sender);

private:
    void trackSearchProgress(bool fromTimer);
    void reloadTable();
    void rowDoubleClicked(int row);
    void beep();

    IndexWindow& index_;
    std::shared_ptr<INDIRecord> toRecord_;
    std::shared_ptr<INDIRecord> fromRecord_;
    std::unique_ptr<RelationshipSearch> search_;
    QLabel* toNameText_;
    QLabel* fromNameText_;
    QTableWidget* relationships_;
    QProgressBar* searchProgress_;
    QPushButton* doneButton_;
    QPushButton* chartButton_;
    QPushButton* relatedHelpButton_;
    QTimer* timer_ = nullptr;
    std::size_t foundResults_ = 0;
    int beeps_ = 0;
};

}  // namespace kl
