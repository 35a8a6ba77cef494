#pragma once
// ToolbarCustomizeDialog: lets the user choose the index window's toolbar
// items and their order: the items the toolbar may hold on the left, the
// current order on the right, with add, remove, move up and down and "Use
// Default Set". The toolbar saves the order when the dialog is accepted.
//
// Thread: main thread.
#include <QDialog>

#include <string>
#include <vector>

#include "index/IndexToolbar.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace kl {

class ToolbarCustomizeDialog : public QDialog {
    Q_OBJECT
public:
    ToolbarCustomizeDialog(const std::vector<std::string>& current, QWidget* parent = nullptr,
                           const ToolbarItems& items = IndexToolbar::items());

    // The order chosen so far.
    std::vector<std::string> itemIdentifiers() const;
    // What a list shows for an item identifier.
    static QString itemTitle(const std::string& identifier, const ToolbarItems& items = IndexToolbar::items());

    QListWidget* allowedList() const { return allowed_; }
    QListWidget* currentList() const { return current_; }

public slots:
    // The selected allowed item goes in after the selected current item (at
    // the end without one); an item the toolbar holds once moves there.
    void addItem();
    void removeItem();
    void moveUp();
    void moveDown();
    void useDefaultSet();

private:
    void setItems(const std::vector<std::string>& identifiers);
    void move(int by);
    QListWidgetItem* makeItem(const std::string& identifier) const;

    const ToolbarItems& toolbar_;
    QListWidget* allowed_ = nullptr;
    QListWidget* current_ = nullptr;
};

}  // namespace kl
