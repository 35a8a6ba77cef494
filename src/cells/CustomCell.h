#pragma once
// CustomCell: one element of a record browser's editing pane, made by a
// "Cell" command of a template. It knows the structure it shows or edits
// (or the tag and level that structure will get when the cell creates it),
// its place in the pane, its look (font, colours, border, alignment) and
// the template properties it takes, and it is the one road by which an
// edited value reaches the GEDCOM tree (editStructure, with the
// insertion-point search locateAfterStructure).
//
// The property commands of templates reach a cell in two ways: the look
// and size properties every text cell shares are virtual operations here;
// every other property goes through takeProperty by the name of the
// operation that serves it ("setRecordLink:"). respondsTo() says which
// operations a cell has; the pane builder turns a missing one into a
// template error.
//
// Ownership: held by the pane's editing background (shared_ptr) and rebuilt
// on every reload; owns its view; observes its structure through handles
// that end with it. The structure is held weakly: it belongs to its record.
// Thread: main thread.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Color.h"
#include "app/Font.h"
#include "cells/CellRect.h"
#include "cells/CellView.h"
#include "foundation/NotificationCenter.h"
#include "foundation/Value.h"

namespace kl {

class CellPane;
class GEDCOMObject;
class GEDCOMRecord;
class GEDCOMStructure;

// The result of a commit and of ending the editing of a cell.
enum StructureEditResult : int {
    EditRefused = 0,    // the cell keeps the focus
    EditSet = 1,        // contents set, or nothing had to change
    EditRemoved = 2,    // the structure (with emptied parents) was removed
    EditCreated = 3,    // the structure (with missing parents) was created
};

// How a cell's text looks: the font and colour of a style of the format's
// editing settings, or set one by one by template properties.
struct CellLook {
    std::optional<Font> font;
    std::optional<Color> textColor;
    std::optional<Color> backgroundColor;
    std::optional<Color> borderColor;
    double borderWidth = 0;
    double cornerRadius = 0;
    int alignment = 0;  // 0 left, 1 right, 2 center, 3 justify
    int underline = 0;
    std::string help;
};

class CustomCell : public Object {
public:
    explicit CustomCell(std::string className);
    ~CustomCell() override;
    CustomCell(const CustomCell&) = delete;
    CustomCell& operator=(const CustomCell&) = delete;

    const std::string& className() const { return className_; }
    virtual std::string description() const;

    // ---- the structure
    std::shared_ptr<GEDCOMObject> structure() const { return structure_.lock(); }
    // Moves the observation of contents changes and removal to the new one.
    void setStructure(const std::shared_ptr<GEDCOMObject>& structure);
    void stopObserving() { setStructure(nullptr); }
    const std::string& editTag() const { return editTag_; }
    void setEditTag(std::string tag) { editTag_ = std::move(tag); }
    int editLevel() const { return editLevel_; }
    void setEditLevel(int level) { editLevel_ = level; }
    // The structure's contents; "" without one.
    std::string structureContents() const;

    // ---- what kind of cell it is
    virtual bool actionOnFinish() const { return true; }
    virtual bool dataChangingCell() const { return false; }
    virtual bool holdsDataCell() const { return false; }
    virtual bool respondingCell() const { return false; }
    virtual bool isPaletteCell() const { return false; }
    virtual bool isBoxSubclass() const { return false; }
    // Whether the cell is seen at all (a placeholder is not).
    virtual bool hasView() const { return true; }
    virtual std::string cellImageType() const { return "none"; }

    // ---- the pane
    CellPane* pane() const { return pane_; }
    // Cells that follow something of the pane's start here.
    virtual void setPane(CellPane* pane) { pane_ = pane; }
    CellView* view() const { return view_.get(); }
    void setView(std::unique_ptr<CellView> view);

    // ---- geometry
    const CellRect& viewFrame() const { return frame_; }
    virtual void setViewFrame(const CellRect& frame);
    void offsetViewFrame(double dy);
    // Moves the cell down by shift when its top lies strictly below limit.
    virtual void retileShift(double shift, double limit);
    virtual double adjustSizeOnRetile(double& change) { (void)change; return 0; }

    // ---- the look and the text
    const CellLook& look() const { return look_; }
    CellLook& look() { return look_; }
    const std::string& text() const { return text_; }
    // Shows the text again after the look or the text changed.
    void refresh();

    // ---- template properties
    // Whether the cell has the operation of that name ("sizeToFit:").
    virtual bool respondsTo(std::string_view selector) const;
    virtual void appendText(const std::string& text);
    virtual void appendHelp(const std::string& text);
    // A named style (its font and colour), a size above 0, or a colour.
    virtual void changeCellFontName(const std::optional<Font>& font, const std::optional<Color>& fontColor,
                                    double size, const std::optional<Color>& color);
    virtual void setFont(const Font& font);
    virtual void setMinHeight(double) {}
    virtual void setMaxHeight(double) {}
    virtual void setMaxWidth(double) {}
    virtual void sizeToFit(double extra);
    virtual void sizeToWidth();
    virtual void cellChangedSize() {}
    virtual bool cellAlignment(const std::string& word);
    virtual bool cellBordered(const std::string& word);
    virtual void cellBorderColor(const std::optional<Color>& color);
    virtual void cellBorderWidth(double width);
    virtual void cellBackgroundColor(const std::optional<Color>& color);
    // The image the cell shows, as width and height in points and in
    // pixels; nullopt when it shows none.
    struct ImageSize {
        double width = 0;
        double height = 0;
        double pixelsWide = 0;
        double pixelsHigh = 0;
    };
    virtual std::optional<ImageSize> image() const { return std::nullopt; }
    virtual void cellImageSize(double width, double height);
    virtual std::string mmPath() const { return {}; }
    // Every other property, by the operation's name; false when the value
    // is refused.
    virtual bool takeProperty(std::string_view selector, const std::vector<std::string>& values);
    // The children a "Linkall" took for the cell.
    virtual void addStructures(const std::vector<std::shared_ptr<GEDCOMObject>>&) {}
    // An optional-data entry the cell offers itself.
    virtual void addOptionalTag(const std::shared_ptr<GEDCOMRecord>&) {}
    // Structures a cell watches besides its own ("Watch" and expressions).
    void addWatchStructures(const std::vector<std::shared_ptr<GEDCOMObject>>& structures);
    // "view" or "altview": the structures that make up the shown (or the
    // alternative) name of the record the cell shows; nothing for a cell
    // that shows no record.
    void watchRecordView(const std::string& word);

    // ---- locking and editing
    virtual void setLocked(bool) {}
    // Ends editing: compares the text with the structure and commits.
    // mayRetry: the user may still go back to the field.
    virtual int endStructureEditing(bool mayRetry) { (void)mayRetry; return EditSet; }

    // ---- the commit
    // The new text differs from the structure's contents (or there is text
    // for a missing structure); sets, removes or creates the structure.
    int editStructure(const std::string& text, const std::optional<std::string>& undoMessage);

    // The insertion-point search over the data cells before a cell.
    struct Location {
        std::shared_ptr<GEDCOMObject> parent;         // nullptr when none was found
        std::shared_ptr<GEDCOMObject> after;          // the sibling to insert after
        std::vector<std::string> missingTags;         // create: parents to make, nearest first
        std::shared_ptr<GEDCOMObject> removeFrom;     // remove: the highest emptied node
    };
    static Location locateAfterStructure(const std::vector<CustomCell*>& dataCells,
                                         const std::shared_ptr<GEDCOMObject>& structure, int level,
                                         const CellPane* pane);

protected:
    // The structure's contents changed; the cell shows them again.
    virtual void updateStructure() {}
    // The structure is about to leave its record.
    virtual void structureWillRemove() { setStructure(nullptr); }
    void setText(std::string text);
    // Width of a text in the cell's font (its view's, else an estimate).
    double measureText(const std::string& text) const;
    double measureHeight() const;
    void beep();
    std::shared_ptr<GEDCOMRecord> theRecord() const;

private:
    std::string className_;
    std::weak_ptr<GEDCOMObject> structure_;
    std::string editTag_;
    int editLevel_ = 0;
    CellRect frame_;
    CellLook look_;
    std::string text_;
    CellPane* pane_ = nullptr;
    std::unique_ptr<CellView> view_;
    Observation contentsObservation_;
    Observation removalObservation_;
    std::vector<Observation> watches_;
};

}  // namespace kl
