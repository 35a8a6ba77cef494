#pragma once
// IndexToolbarWidget: the index window's toolbar "indexToolBar", built from
// the order the user customised (else the default order): its own column,
// album and source-pane items, the document items shared with the other
// windows, spaces and separators, the "AddColumn" click-and-hold button, a
// slot for the type-ahead find view and the customise item. Every item
// hands its description (identifier, tag, action, target) to the window's
// handler; the window's validator enables them by tag.
//
// Ownership: owns its items, and the find view once it is given one.
// Borrows the user defaults, which must outlive it. Thread: main thread.
#include <QPointer>
#include <QToolBar>

#include <functional>
#include <string>
#include <vector>

#include "index/IndexMenuValidation.h"
#include "index/IndexToolbar.h"

class QLineEdit;

namespace kl {

class AddColumnToolButton;
class ToolbarCustomizeDialog;
class UserDefaults;

class IndexToolbarWidget : public QToolBar {
    Q_OBJECT
public:
    using Handler = std::function<void(const ToolbarItemSpec& item)>;
    using Validator = std::function<MenuAnswer(int tag)>;
    // A view the window makes for an item of its own; nullptr lets the
    // toolbar make a button.
    using ViewFactory = std::function<QWidget*(const ToolbarItemSpec& item)>;

    // `items` tells which toolbar: the index window's by default, or
    // another window's made of the same kinds of item.
    explicit IndexToolbarWidget(UserDefaults& defaults, QWidget* parent = nullptr,
                                const ToolbarItems& items = IndexToolbar::items());
    ~IndexToolbarWidget() override;

    void setHandler(Handler handler) { handler_ = std::move(handler); }
    void setValidator(Validator validator);
    // Views are made anew on every rebuild; the window rebuilds once it
    // has set the factory.
    void setViewFactory(ViewFactory factory) { viewFactory_ = std::move(factory); }
    // The window's find view goes into the "TypeFindField" slot, replacing
    // the placeholder field, and follows the slot through every rebuild.
    void setFindView(QWidget* view);

    // Makes the items again from the stored order.
    void rebuild();
    // Enables each item with a tag by the validator's answer.
    void validateVisibleItems();
    // Opens the customise dialog on the window; accepting it stores the
    // order and rebuilds every toolbar of the kind over the same defaults.
    ToolbarCustomizeDialog* runCustomizationPalette();

    // The identifiers shown, in order.
    const std::vector<std::string>& itemIdentifiers() const { return shown_; }
    // The item of an identifier; nullptr when the toolbar does not hold it.
    QAction* actionForIdentifier(const std::string& identifier) const;
    // The "AddColumn" button, nullptr when the toolbar does not hold it
    // (`popAddColumnItem`).
    AddColumnToolButton* addColumnButton() const { return addColumn_; }
    // The placeholder find field while no find view was given.
    QLineEdit* findField() const { return findField_; }

    // An image of the resources by name; a null icon when there is none.
    static QIcon imageNamed(const std::string& name);

signals:
    // The add-column button was made anew: the window fills its menu.
    void addColumnButtonMade(AddColumnToolButton* button);
    // The items were validated: views of the window validate themselves.
    void itemsValidated();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Item {
        std::string identifier;
        QAction* action = nullptr;
        int tag = 0;
    };
    QAction* addItem(const ToolbarItemSpec& spec);
    QAction* addFindSlot();
    void report(const ToolbarItemSpec& spec);
    void clearItems();

    UserDefaults& defaults_;
    const ToolbarItems& toolbar_;
    Handler handler_;
    Validator validator_;
    ViewFactory viewFactory_;
    std::vector<Item> items_;
    std::vector<std::string> shown_;
    AddColumnToolButton* addColumn_ = nullptr;
    QLineEdit* findField_ = nullptr;
    QPointer<QWidget> findView_;
};

}  // namespace kl
