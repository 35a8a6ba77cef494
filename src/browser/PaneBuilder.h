#pragma once
// PaneBuilder: lays out a record browser's pane by running the current
// format's templates. It resets the layout, runs the record's template and,
// inside it, the templates of the structures it shows (each on a frame of
// its own, GEDCOMTemporary), hands every command to its handler (one per
// name of TemplateCommandSet::commands(), named after the command: doCell,
// doTab, doShow ...), places each finished cell by the flow rules of
// PaneLayoutState and, at the end, sizes the pane. A template error ends
// the build; the message is kept for the browser to show once.
//
// While it builds it serves the script language: as expression server of
// the running template's parser (subroutine results), as at-delegate of
// every expression ("@" record paths on the current frame), and as the
// facts the template's built-in variables read.
//
// Ownership: owned by its browser, with the editing background it fills;
// the record, the templates, the settings and the model are borrowed for
// the length of a build. Thread: main thread; one build runs to its end.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "browser/EditBackgroundView.h"
#include "browser/GEDCOMTemporary.h"
#include "browser/PaneLayoutState.h"
#include "script/CommandParcer.h"
#include "script/CommandReader.h"
#include "script/ExpressionAtDelegate.h"
#include "script/ExpressionEvaulator.h"
#include "script/TemplateFacts.h"
#include "script/Variables.h"

namespace kl {

class CellView;
class CustomCell;
class EditPaneCell;
class EditingPrefs;
class EVENTRecord;
class GEDCOMModel;
class GEDCOMRecord;
class LibraryFolder;
class Templates;

class PaneBuilder : public ExpressionEvaulator, public ExpressionAtDelegate, public TemplateFacts {
public:
    using Handler = void (PaneBuilder::*)(GEDCOMTemporary& frame);

    // What a build runs with.
    struct Environment {
        Templates* templates = nullptr;
        const EditingPrefs* prefs = nullptr;
        const LibraryFolder* library = nullptr;  // tag lists, menu commands, language strings
        GEDCOMModel* model = nullptr;
        std::optional<std::string> paneID;
        bool printing = false;
        // Whether the desktop has a font of that family.
        std::function<bool(const std::string&)> systemFontExists;
        // The view of a new cell; none keeps the cells without views.
        std::function<std::unique_ptr<CellView>(CustomCell&)> makeView;
    };

    explicit PaneBuilder(EditBackgroundView& background) : background_(background) {}

    // Builds the pane for the record; false when a template error stopped
    // it (failure() tells it; the cells made so far stay).
    bool buildCustomEdit(const std::shared_ptr<GEDCOMRecord>& record, bool firstLoad, const Environment& environment,
                         double rightMargin, double displayHeight);
    const std::optional<std::string>& failure() const { return failure_; }

    // ---- what the build decided
    const std::optional<std::string>& customWindowName() const { return customWindowName_; }
    bool resizeWindow() const { return resizeWindow_; }
    std::pair<double, double> heightRange() const { return heightRange_; }
    const std::vector<std::string>& dropTypes() const { return dropTypes_; }
    bool acceptsDragOf(const std::string& type) const;
    const std::vector<std::shared_ptr<EVENTRecord>>& optionalTags() const { return optionalTags_; }
    const std::string& recordTemplate() const { return recordTemplate_; }
    CustomCell* firstCell() const { return firstCell_; }
    // The large text pane's cell of the last build; nullptr without one.
    const std::shared_ptr<EditPaneCell>& splitCell() const { return splitCell_; }
    bool locked() const { return locked_; }
    const PaneLayoutState& layout() const { return layout_; }
    PaneLayoutState& layout() { return layout_; }
    const Variables& variables() const { return variables_; }
    Variables& variables() { return variables_; }

    // ---- the build's steps (also used by the handlers)
    void decodeTemplate(const std::string& name, int type, int level, const std::optional<std::string>& contents,
                        const std::shared_ptr<GEDCOMObject>& structure, const std::vector<double>& tabs,
                        bool allowUnknown);
    void finishCell();
    void startNewLine() { layout_.startNewLine(variables_); }
    CustomCell& verifyInCell();
    CustomCell& verifyValidInCell(std::string_view selector);
    [[noreturn]] void causeError(const std::string& message, const Command* command = nullptr);
    void readArguments(const std::string& base);
    std::vector<std::string> saveArguments(const std::string& base) const;
    void replaceArguments(const std::string& base, const std::vector<std::string>& values);
    CustomCell* currentCell() const { return currentCell_.get(); }
    double varFloatValue(std::string_view name) const { return PaneLayoutState::variable(variables_, name); }

    // Every handler, by its name ("doCell:").
    static const std::map<std::string, Handler, std::less<>>& handlers();

    // ---- ExpressionEvaulator
    std::optional<std::string> evaulateCommandExpression(const std::string& expression) override;
    std::optional<std::string> subReturnValue() const override { return subReturnValue_; }
    void setSubReturnValue(std::optional<std::string> value) override { subReturnValue_ = std::move(value); }

    // ---- ExpressionAtDelegate
    std::string evaluateAtString(const std::string& text, const Variables& variables) override;

    // ---- TemplateFacts
    double cellSkip() const override { return varFloatValue("#cellSkip"); }
    double lineSkip() const override { return varFloatValue("#lineSkip"); }
    double leftSkip() const override { return varFloatValue("#leftSkip"); }
    double rightSkip() const override { return varFloatValue("#rightSkip"); }
    double topMargin() const override;
    double bottomMargin() const override;
    double rightMargin() const override { return layout_.layoutRightMargin; }
    double hpos() const override { return layout_.layoutHPos; }
    double vpos() const override { return layout_.layoutVPos; }
    double groupLeftEdge() const override { return background_.groupLeftEdge(); }
    double groupTopEdge() const override { return background_.groupTopEdge(); }
    double defaultWidth() const override { return layout_.layoutDefaultWidth; }
    double defaultHeight() const override { return layout_.layoutDefaultHeight; }
    double displayHeight() const override { return layout_.layoutDisplayHeight; }
    double currentCellWidth() const override;
    double currentCellHeight() const override;
    double currentImageWidth() const override;
    double currentImageHeight() const override;
    double currentImagePPI() const override;
    std::string currentMmPath() const override;
    std::string currentImageType() const override;
    std::string parentTag() const override;
    std::optional<std::string> languageString(std::string_view key) const override;

    // ---- cell creation and properties (PaneBuilder+Cells.cpp)
    void doCell(GEDCOMTemporary& frame);
    void doAddpane(GEDCOMTemporary& frame);
    void doAlignment(GEDCOMTemporary& frame);
    void doAppendedexpression(GEDCOMTemporary& frame);
    void doAutoreload(GEDCOMTemporary& frame);
    void doBorder(GEDCOMTemporary& frame);
    void doBordercolor(GEDCOMTemporary& frame);
    void doBorderwidth(GEDCOMTemporary& frame);
    void doCellbackground(GEDCOMTemporary& frame);
    void doControlsize(GEDCOMTemporary& frame);
    void doEditable(GEDCOMTemporary& frame);
    void doFont(GEDCOMTemporary& frame);
    void doFontcolor(GEDCOMTemporary& frame);
    void doFontsize(GEDCOMTemporary& frame);
    void doFormat(GEDCOMTemporary& frame);
    void doFraction(GEDCOMTemporary& frame);
    void doHelp(GEDCOMTemporary& frame);
    void doImage(GEDCOMTemporary& frame);
    void doImagefile(GEDCOMTemporary& frame);
    void doImageheight(GEDCOMTemporary& frame);
    void doImageposition(GEDCOMTemporary& frame);
    void doImagewidth(GEDCOMTemporary& frame);
    void doLineheight(GEDCOMTemporary& frame);
    void doLocalize(GEDCOMTemporary& frame);
    void doMenuitems(GEDCOMTemporary& frame);
    void doMenulink(GEDCOMTemporary& frame);
    void doMmformat(GEDCOMTemporary& frame);
    void doObjectfull(GEDCOMTemporary& frame);
    void doObjectimage(GEDCOMTemporary& frame);
    void doOffvalue(GEDCOMTemporary& frame);
    void doOnvalue(GEDCOMTemporary& frame);
    void doPaneid(GEDCOMTemporary& frame);
    void doPosition(GEDCOMTemporary& frame);
    void doRecordlink(GEDCOMTemporary& frame);
    void doScriptlink(GEDCOMTemporary& frame);
    void doScriptmessage(GEDCOMTemporary& frame);
    void doScripttype(GEDCOMTemporary& frame);
    void doSelected(GEDCOMTemporary& frame);
    void doTarget(GEDCOMTemporary& frame);
    void doText(GEDCOMTemporary& frame);
    void doTextexpression(GEDCOMTemporary& frame);
    void doTitleposition(GEDCOMTemporary& frame);
    void doUrl(GEDCOMTemporary& frame);
    void doWatch(GEDCOMTemporary& frame);
    void doPalmoveto(GEDCOMTemporary& frame);
    void doPallineto(GEDCOMTemporary& frame);
    void doPalmove(GEDCOMTemporary& frame);
    void doPalline(GEDCOMTemporary& frame);
    void doPallinewidth(GEDCOMTemporary& frame);
    void doPaldrawcolor(GEDCOMTemporary& frame);
    void doPalframerect(GEDCOMTemporary& frame);
    void doPalframeoval(GEDCOMTemporary& frame);
    void doPalfillrect(GEDCOMTemporary& frame);
    void doPalfilloval(GEDCOMTemporary& frame);

    // ---- layout (PaneBuilder+Layout.cpp)
    void doNewline(GEDCOMTemporary& frame);
    void doTab(GEDCOMTemporary& frame);
    void doSettab(GEDCOMTemporary& frame);
    void doCleartabs(GEDCOMTemporary& frame);
    void doTabwidth(GEDCOMTemporary& frame);
    void doHskip(GEDCOMTemporary& frame);
    void doHmoveto(GEDCOMTemporary& frame);
    void doVmoveto(GEDCOMTemporary& frame);
    void doMoveto(GEDCOMTemporary& frame);
    void doShift(GEDCOMTemporary& frame);
    void doOffset(GEDCOMTemporary& frame);
    void doWidth(GEDCOMTemporary& frame);
    void doHeight(GEDCOMTemporary& frame);
    void doMinheight(GEDCOMTemporary& frame);
    void doMaxheight(GEDCOMTemporary& frame);
    void doMaxwidth(GEDCOMTemporary& frame);
    void doSizetofit(GEDCOMTemporary& frame);
    void doDefaultcellsize(GEDCOMTemporary& frame);
    void doDisplaywidth(GEDCOMTemporary& frame);
    void doDisplayheight(GEDCOMTemporary& frame);
    void doResizewindow(GEDCOMTemporary& frame);
    void doTitle(GEDCOMTemporary& frame);
    void doEndgroup(GEDCOMTemporary& frame);
    void doBackground(GEDCOMTemporary& frame);

    // ---- structures (PaneBuilder+Structures.cpp)
    void doShow(GEDCOMTemporary& frame);
    void doShowall(GEDCOMTemporary& frame);
    void doUse(GEDCOMTemporary& frame);
    void doHide(GEDCOMTemporary& frame);
    void doHideexcess(GEDCOMTemporary& frame);
    void doLinkall(GEDCOMTemporary& frame);
    void doOptionaltag(GEDCOMTemporary& frame);
    void doDroptypes(GEDCOMTemporary& frame);
    void doReadall(GEDCOMTemporary& frame);
    void doRepeatwith(GEDCOMTemporary& frame);

    // ---- flow and variables (PaneBuilder+Flow.cpp)
    void doIf(GEDCOMTemporary& frame);
    void doIfdef(GEDCOMTemporary& frame);
    void doIfndef(GEDCOMTemporary& frame);
    void doIfnum(GEDCOMTemporary& frame);
    void doIfstr(GEDCOMTemporary& frame);
    void doRepeat(GEDCOMTemporary& frame);
    void doEndrepeat(GEDCOMTemporary& frame);
    void doContinue(GEDCOMTemporary& frame);
    void doExit(GEDCOMTemporary& frame);
    void doGosub(GEDCOMTemporary& frame);
    void doLocal(GEDCOMTemporary& frame);
    void doPushvariables(GEDCOMTemporary& frame);
    void doPopvariables(GEDCOMTemporary& frame);
    void doUnset(GEDCOMTemporary& frame);
    void doSet(GEDCOMTemporary& frame);
    void doWords(GEDCOMTemporary& frame);
    void doLines(GEDCOMTemporary& frame);
    void doImport(GEDCOMTemporary& frame);
    void doExport(GEDCOMTemporary& frame);
    void doLog(GEDCOMTemporary& frame);

private:
    void runCommand(Command command, GEDCOMTemporary& frame);
    void dispatch(const Command& command, GEDCOMTemporary& frame);
    std::string evaluateItem(const Value& item, const Command& command);
    // The cell properties that only pass their words on.
    void passProperty(std::string_view selector, std::vector<std::string> values, const char* refusal = nullptr);
    std::optional<Color> formatColor(const std::string& name, bool allowNone);
    void drawCommand(int code, int numbers);
    void resizeImage(bool byHeight);
    void objectImage(bool full);
    void endGroup(bool remove);
    void conditional(bool truth);
    bool ifCondition(GEDCOMTemporary& frame);
    bool textComparison(const std::string& left, const std::string& op, const std::string& right,
                        GEDCOMTemporary& frame, bool connectors);
    double lineWidthLimit() const;
    void sizeChanged(CustomCell& cell);
    // The children of the frame that a tag, a named tag list or "all" names.
    GEDCOMObject::StructureList takeChildren(GEDCOMTemporary& frame, const std::string& word);
    void showChild(GEDCOMTemporary& frame, const std::shared_ptr<GEDCOMStructure>& child, const std::string& tag);
    std::vector<std::shared_ptr<GEDCOMObject>> structuresForLoop(const char* command, std::string& variable);
    void splitIntoArray(const std::string& name, int first, int last, std::vector<std::string> pieces);

    EditBackgroundView& background_;
    Environment env_;
    PaneLayoutState layout_;
    std::shared_ptr<GEDCOMRecord> record_;
    std::shared_ptr<CustomCell> currentCell_;
    CommandReader read_;
    CommandParcer* parce_ = nullptr;
    Variables variables_;
    std::vector<Variables> variablesStack_;
    std::optional<std::string> subReturnValue_;
    std::string recordTemplate_;
    std::optional<std::string> customWindowName_;
    std::vector<std::string> dropTypes_;
    std::vector<std::shared_ptr<EVENTRecord>> optionalTags_;
    std::pair<double, double> heightRange_{-1, -1};
    bool resizeWindow_ = false;
    bool locked_ = false;
    bool hasEditPane_ = false;
    CustomCell* firstCell_ = nullptr;
    std::shared_ptr<EditPaneCell> splitCell_;
    PaneLayoutState::KeptLayout groupKept_;
    std::optional<std::string> failure_;
};

}  // namespace kl
