#pragma once
// AddColumnToolButton: the index window's "AddColumn" toolbar button. A
// click runs the add-column command (the column sheet for a new column);
// holding the mouse still on it shows the menu "Add Index Columns" of the
// predefined columns, the shown ones checked. Choosing a shown column asks
// before deleting it; choosing any other appends it; the custom item runs
// the add-column command.
//
// Ownership: owns its menu; borrows the controller, which must outlive it
// or be unset. Thread: main thread.

#include <functional>
#include <vector>

#include "app/ui/DLDelayedPopUpButton.h"
#include "index/AddColumnMenu.h"

class QMenu;

namespace kl {

class IndexController;

class AddColumnToolButton : public DLDelayedPopUpButton {
    Q_OBJECT
public:
    static constexpr const char* kMenuTitle = "Add Index Columns";
    static constexpr int kAddColumnTag = 3301;

    explicit AddColumnToolButton(QWidget* parent = nullptr);
    ~AddColumnToolButton() override;

    // With a controller the menu is filled from its shown style each time
    // it opens, and a chosen column goes to it.
    void setController(IndexController* controller) { controller_ = controller; }
    // The add-column command: a click, and the custom item of the menu.
    void setAddColumnCommand(std::function<void()> command) { addColumn_ = std::move(command); }
    // Without a controller: what choosing an item does.
    void setChooseHandler(std::function<void(const AddColumnItem&)> chosen) { chosen_ = std::move(chosen); }

    // Fills the menu: titles localised, each item's tooltip its expression.
    void updateAddColumnMenu(const std::vector<AddColumnItem>& items);
    QMenu* addColumnMenu() const { return menu_; }
    // What choosing the menu's item does.
    void addPredefinedColumn(const AddColumnItem& item);

private:
    void runAddColumn();

    QMenu* menu_ = nullptr;
    IndexController* controller_ = nullptr;
    std::function<void()> addColumn_;
    std::function<void(const AddColumnItem&)> chosen_;
};

}  // namespace kl
