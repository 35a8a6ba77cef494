#pragma once
// IndexFindField: the index window's type-ahead find field in the toolbar.
// Each change of its text, and the end of its editing (Return), goes to
// the `find` callback; the window answers with the value to complete. The
// completion shows inline, the untyped rest selected, so further typing
// replaces it; Tab and Right Arrow accept it a word at a time.
//
// Ownership: made by the index window, held by the toolbar's find slot.
// Thread: main thread.
#include <QLineEdit>

#include <functional>
#include <optional>
#include <string>

#include "index/FindCompletion.h"

namespace kl {

class IndexFindField : public QLineEdit {
    Q_OBJECT
public:
    // The field's text, and whether the editing just ended.
    using Finder = std::function<void(IndexFindField&, const std::string& text, bool recentEndEditing)>;

    explicit IndexFindField(QWidget* parent = nullptr);

    void setupField();
    void setFinder(Finder finder) { finder_ = std::move(finder); }
    const FindCompletion& completion() const { return completion_; }
    bool recentEndEditing() const { return completion_.recentEndEditing(); }
    void setRecentEndEditing(bool ended) { completion_.setRecentEndEditing(ended); }
    std::string userStringValue() const;
    bool matchesRecord() const { return completion_.matchesRecord(); }

    void completeString(const std::optional<std::string>& match);
    // Beeps and tells that a column must be chosen first.
    void fieldUseAlert();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    FindCompletion::Field field() const;
    void setField(const FindCompletion::Field& field);
    bool doCommand(FindCompletion::Command command);
    void textWasEdited();
    void editingEnded();

    FindCompletion completion_;
    Finder finder_;
    int quiet_ = 0;
};

}  // namespace kl
