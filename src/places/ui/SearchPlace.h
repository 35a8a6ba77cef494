#pragma once
// SearchPlace: the sheet of the place advisor's "Search". It asks for the
// text and the matching rules, searches on a worker (the sheet stays open
// and usable), and ends with OK when names were found or the search
// failed; with no match it says so and lets the user search again. The
// choices are remembered for the next sheet of this run.
//
// Ownership: a child of the advisor window while shown; the worker holds
// only its own copies and the shared cancel flag, and reports back through
// a guarded pointer. Thread: main thread.
#include <QPointer>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/KLSheet.h"
#include "places/PlaceSearch.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace kl {

class SearchPlace : public KLSheet {
    Q_OBJECT
public:
    SearchPlace(const std::string& code, std::string requestBase, QWidget* parent = nullptr);
    ~SearchPlace() override;

    // The remembered search text (class-wide).
    static void setTheString(const std::string& text);
    static PlaceSearch::Settings& settings();

    const std::string& placeName() const { return placeName_; }
    const std::vector<std::string>& levels() const { return levels_; }
    const std::optional<PlaceSearch::Result>& searchResults() const { return searchResults_; }
    // What was searched and how many matched, for the results pane.
    std::string queryText() const;

    QLineEdit* findString() const { return findString_; }
    QRadioButton* containedButton() const { return contained_; }
    QCheckBox* caseSensitiveBox() const { return caseSensitiveBox_; }
    QRadioButton* inBoxButton() const { return inBox_; }
    QLabel* label() const { return label_; }
    QLabel* downloadLabel() const { return downloadLabel_; }
    QPushButton* okButton() const { return okButton_; }

    void okClick() override;
    void cancelClick() override;
    void searchIsDone(PlaceSearch::Result result);
    void searchNotFound();

private:
    void windowDidLoad();
    void updateTitle();
    std::string country() const;

    std::string placeName_;
    std::vector<std::string> levels_;
    std::string requestBase_;
    std::optional<PlaceSearch::Result> searchResults_;
    std::shared_ptr<std::atomic<bool>> continueThread_;

    QLabel* label_ = nullptr;
    QLabel* downloadLabel_ = nullptr;
    QLineEdit* findString_ = nullptr;
    QRadioButton* wholeLevel_ = nullptr;
    QRadioButton* contained_ = nullptr;
    QCheckBox* caseSensitiveBox_ = nullptr;
    QRadioButton* inCountry_ = nullptr;
    QRadioButton* inBox_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace kl
