#pragma once
// LinkButton ("linkbutton"): a button that leads somewhere. By its menu
// link it is a record link (0: opens a record by ID, the place record of
// its structure's place name, or reloads the pane), a script link (-1:
// runs a named script) or a menu link (above 0: performs an item of the
// main menu, the number split into menu, submenu and item).
//
// A record link's title can follow a structure (Textexpression), through a
// record-path expression (Appendedexpression) and a title format (Format,
// where "%!" joins a multi-line value with ", "). When that structure
// belongs to another record, the button also follows that record: its
// deletion empties the title, a change of its structures reloads the pane.
//
// The browser is reached through the pane's LinkHost, only when the user
// acts; the build gives the button the document's model for its title.
//
// Ownership and thread: as CustomCell; the model is borrowed (it outlives
// the browser's panes).
#include <memory>
#include <optional>
#include <string>

#include "cells/ButtonCell.h"
#include "cells/LinkHost.h"

namespace kl {

class KLExpression;

class LinkButton : public ButtonCell {
public:
    LinkButton(const CellRect& frame, const EditingPrefs* prefs, const std::shared_ptr<GEDCOMObject>& linkStructure,
               std::string className = "LinkButton");
    ~LinkButton() override;

    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    void appendText(const std::string& text) override;
    void setMaxWidth(double width) override { maxWidth_ = width; }

    // ---- the title
    // The title follows this structure; record: the browser's record, model:
    // the document's records (both for the structure's links).
    void cellExpression(const std::shared_ptr<GEDCOMObject>& structure, const GEDCOMRecord* browserRecord,
                        GEDCOMModel* model);
    void appendedExpression(const std::optional<std::string>& text);
    void setFormat(const std::string& format);
    const std::string& format() const { return format_; }
    bool compactForFormat() const { return compactForFormat_; }
    std::string cellString() const;
    bool reloadOnUpdate() const { return reloadOnUpdate_; }
    void setReloadOnUpdate(bool reload);
    double maxWidth() const { return maxWidth_; }
    const std::shared_ptr<GEDCOMRecord>& exprRecord() const { return exprRecord_; }
    bool observesExprRecord() const { return static_cast<bool>(deletedObservation_); }

    // ---- what it leads to
    const std::optional<std::string>& recordLink() const { return recordLink_; }
    void setRecordLink(const std::optional<std::string>& link);
    const std::string& paneIDLink() const { return paneIDLink_; }
    void setMenuLink(int number);
    void setScriptLink(const std::string& name);
    bool setScriptLinkType(const std::string& word);
    int menuLink() const { return menuLink_; }
    int subMenuLink() const { return subMenuLink_; }
    int menuItemLink() const { return menuItemLink_; }
    const std::optional<std::string>& scriptMessage() const { return scriptMessage_; }
    std::shared_ptr<GEDCOMObject> linkStructure() const { return linkStructure_.lock(); }

    // ---- the user
    void buttonClick(bool optionDown) override;
    void goToRecord(const std::shared_ptr<GEDCOMRecord>& record);
    std::vector<MenuItem> contextMenu() const override;
    void cellMenuAction(int tag) override;
    // The record a click opens: by place name or ID; nullptr when none.
    std::shared_ptr<GEDCOMRecord> linkedRecord() const;

protected:
    void updateStructure() override;
    void structureWillRemove() override;
    LinkHost* host() const;
    // Ends the typing of the pane's focused cell; false when it refused.
    bool editingEnded() const;
    GEDCOMModel* model() const;
    // Opens a multimedia file the way its format's helper entry says.
    void openWithHelper(const std::string& path, const std::string& format);

private:
    void refreshTitle();
    void watchReached();
    void endExprRecordObservations();
    void recordDeleted(const Notification& note);

    std::optional<std::string> recordLink_;
    std::string paneIDLink_;
    std::string format_ = "%@";
    std::shared_ptr<KLExpression> theExpr_;
    std::optional<std::string> scriptMessage_;
    std::shared_ptr<GEDCOMRecord> exprRecord_;
    std::weak_ptr<GEDCOMObject> linkStructure_;
    GEDCOMModel* model_ = nullptr;
    bool compactForFormat_ = false;
    bool usingExpression_ = false;
    bool reloadOnUpdate_ = false;
    bool optionDown_ = false;
    int menuLink_ = 0;
    int subMenuLink_ = 0;
    int menuItemLink_ = 0;
    double maxWidth_ = -1;
    Observation deletedObservation_;
    Observation changedObservation_;
    Observation linkedObservation_;
};

}  // namespace kl
