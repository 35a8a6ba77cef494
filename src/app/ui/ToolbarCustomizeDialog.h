#pragma once
// ToolbarCustomizeDialog: lets the user choose a toolbar's items and their
// order: the items the toolbar may hold on the left, the current order on
// the right, with add, remove, move up and down and "Use Default Set". The
// toolbar saves the order when the dialog is accepted. Each toolbar gives
// its own items and how the lists name them.
//
// Thread: main thread.
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "app/ToolbarOrder.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace kl {

// A toolbar's items and the title and tool tip the lists show for each.
struct ToolbarCustomization {
    ToolbarOrder order;
    std::function<QString(const std::string& identifier)> title;
    std::function<QString(const std::string& identifier)> toolTip;
};

class ToolbarCustomizeDialog : public QDialog {
    Q_OBJECT
public:
    ToolbarCustomizeDialog(ToolbarCustomization items, const std::vector<std::string>& current,
                           QWidget* parent = nullptr);

    // The order chosen so far.
    std::vector<std::string> itemIdentifiers() const;

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

    ToolbarCustomization items_;

    QListWidget* allowed_ = nullptr;
    QListWidget* current_ = nullptr;
};

}  // namespace kl
