// The build and the template run, the command loop, the finish step, the
// template errors and the expression server.
#include "browser/PaneBuilder.h"

#include <algorithm>
#include <cmath>

#include "app/EditingPrefs.h"
#include "app/LibraryFolder.h"
#include "cells/CellKinds.h"
#include "cells/EditPaneCell.h"
#include "cells/GroupBox.h"
#include "cells/CustomCell.h"
#include "document/GEDCOMModel.h"
#include "document/KLExpression.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "model/EVENTRecord.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "script/CustomExpression.h"
#include "script/Expression.h"
#include "script/Templates.h"

namespace kl {

namespace {

constexpr std::array<const char*, 4> kLayoutVariables{"#leftSkip", "#lineSkip", "#cellSkip", "#rightSkip"};

std::string commandText(const Command& command) {
    std::string text;
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (i == 1 && command[i].isInteger()) continue;
        if (!text.empty()) text += ' ';
        if (auto expression = command[i].objectAs<CustomExpression>()) text += expression->string();
        else text += command[i].toString();
    }
    return text;
}

}  // namespace

bool PaneBuilder::acceptsDragOf(const std::string& type) const {
    return std::find(dropTypes_.begin(), dropTypes_.end(), type) != dropTypes_.end();
}

bool PaneBuilder::buildCustomEdit(const std::shared_ptr<GEDCOMRecord>& record, bool firstLoad,
                                  const Environment& environment, double rightMargin, double displayHeight) {
    env_ = environment;
    record_ = record;
    failure_.reset();
    hasEditPane_ = false;
    static const EditingPrefs fallbackPrefs;
    const EditingPrefs& prefs = env_.prefs ? *env_.prefs : fallbackPrefs;
    layout_.reset(firstLoad, prefs, rightMargin, displayHeight);
    layout_.layoutFrame = nullptr;
    background_.setRecord(record);
    background_.setGroupBox(nullptr);
    background_.setBackgroundColor(prefs.colorNamed("Window Background"));
    currentCell_.reset();
    firstCell_ = nullptr;
    splitCell_.reset();
    resizeWindow_ = false;
    heightRange_ = {-1, -1};
    customWindowName_.reset();
    dropTypes_.clear();
    optionalTags_.clear();
    variables_ = prefs.initializeVariables();
    variablesStack_.clear();
    read_ = CommandReader([this] {
        return env_.templates ? env_.templates->currentTemplate().value_or(std::string()) : std::string();
    });
    parce_ = nullptr;
    bool built = true;
    try {
        if (!env_.templates || !record) raise(exception_names::CustomEditError, "No interface format is loaded");
        env_.templates->startStack();
        decodeTemplate(record->recordType(), Templates::RecordTemplate, record->glevel(), record->grecordID(), record,
                       {}, true);
    } catch (const NamedException& e) {
        if (e.name() != exception_names::CustomEditError) throw;
        failure_ = e.message();
        built = false;
    }
    parce_ = nullptr;
    layout_.layoutFrame = nullptr;
    currentCell_.reset();
    variablesStack_.clear();
    read_.setCommand(nullptr);
    if (!built) return false;
    background_.setHeight(layout_.layoutContentBottom + prefs.bottomMargin());
    firstCell_ = background_.setEditTabKeyLoop();
    locked_ = record->isLocked();
    if (locked_) background_.setRestricted(true);
    return true;
}

void PaneBuilder::decodeTemplate(const std::string& name, int type, int level,
                                 const std::optional<std::string>& contents,
                                 const std::shared_ptr<GEDCOMObject>& structure, const std::vector<double>& tabs,
                                 bool allowUnknown) {
    Templates& templates = *env_.templates;
    const bool withContents = contents.has_value();
    auto compiled = templates.getTemplate(name, type, env_.paneID, withContents, name);
    if (!compiled && allowUnknown) {
        templates.removeLastTemplate(withContents);
        compiled = templates.getTemplate("_Unknown_", type, std::nullopt, withContents, name);
    }
    if (!compiled) {
        templates.setTemplateStack({});
        causeError("Editing template named '" + name + "' was not found");
    }
    if (type == Templates::RecordTemplate) recordTemplate_ = templates.currentTemplate().value_or(std::string());

    std::shared_ptr<GEDCOMTemporary> frame;
    if (withContents) {
        frame = GEDCOMTemporary::makeWithTag(name, level, *contents, structure);
        auto placeholder = CellKinds::makePlaceholder(structure, name, level);
        frame->setDefaultSaveCell(placeholder);
        background_.addCustomCell(placeholder);
    } else {
        frame = std::dynamic_pointer_cast<GEDCOMTemporary>(structure);
        if (!frame) causeError("Template used without a frame");
    }
    frame->copyTabs(tabs);

    std::array<std::optional<std::string>, 4> kept;
    for (std::size_t i = 0; i < kLayoutVariables.size(); ++i)
        if (auto it = variables_.find(kLayoutVariables[i]); it != variables_.end()) kept[i] = it->second;
    CustomCell* groupAtStart = background_.groupBox();

    CommandParcer parser(compiled);
    CommandParcer* const outerParce = parce_;
    CommandParcer* const outerFrameParce = frame->parce();
    struct Restore {
        PaneBuilder& builder;
        GEDCOMTemporary& frame;
        CommandParcer* parce;
        CommandParcer* frameParce;
        ~Restore() {
            builder.parce_ = parce;
            frame.setParce(frameParce);
        }
    } restore{*this, *frame, outerParce, outerFrameParce};
    frame->setParce(&parser);
    parce_ = &parser;
    parser.setExpressionServer(this);
    if (auto error = parser.findSubroutinesByTokens()) causeError("Error in template subroutines: " + *error);

    while (auto command = parser.nextTokenCommand()) runCommand(std::move(*command), *frame);

    // What the template did not show is shown by the template of its tag.
    while (!frame->hideExcess() && !frame->structures().empty()) {
        const Command show{Value("doShow:"), Value(static_cast<int>(CommandCodeCommand)),
                           Value(frame->structures().front()->gtag())};
        dispatch(show, *frame);
    }
    finishCell();
    if (background_.groupBox() && background_.groupBox() != groupAtStart) endGroup(false);

    for (std::size_t i = 0; i < kLayoutVariables.size(); ++i) {
        if (kept[i]) variables_[kLayoutVariables[i]] = *kept[i];
        else variables_.erase(kLayoutVariables[i]);
    }
    templates.removeLastTemplate(withContents);
}

void PaneBuilder::runCommand(Command command, GEDCOMTemporary& frame) {
    if (layout_.layoutLogFlags & 1) Logger::log("[PARSED COMMAND]: {}", commandText(command));
    const int code = commandCodeOf(command).value_or(CommandCodeCommand);
    if (code >= CommandCodeRunError) {
        const std::string message = command.size() > 2 ? command[2].toString() : std::string();
        command.erase(command.begin() + 1, command.begin() + std::min<std::size_t>(3, command.size()));
        causeError(message, &command);
    }
    layout_.layoutFrame = &frame;
    const std::size_t first = code == CommandCodeAssignment ? 3 : 2;
    for (std::size_t i = first; i < command.size(); ++i) command[i] = Value(evaluateItem(command[i], command));
    if (layout_.layoutLogFlags & 2) Logger::log("[EVALUATED COMMAND]: {}", commandText(command));
    if (code == CommandCodeAssignment) {
        std::string target = command.size() > 2 ? command[2].toString() : std::string();
        if (target.size() >= 2 && target[0] == '*') {
            auto named = variables_.find("#" + target.substr(1));
            target = named == variables_.end() ? std::string() : named->second;
        }
        auto key = Expression::getVariable(target, variables_, parce_);
        if (!key) causeError("Expression set equal to an invalid variable", &command);
        variables_[*key] = command.size() > 4 ? command[4].toString() : std::string();
        return;
    }
    dispatch(command, frame);
}

void PaneBuilder::dispatch(const Command& command, GEDCOMTemporary& frame) {
    const auto& table = handlers();
    auto handler = table.find(command.empty() ? std::string_view() : std::string_view(command[0].toString()));
    if (handler == table.end()) causeError("Unrecognized command", &command);
    read_.setCommand(&command);
    (this->*(handler->second))(frame);
}

std::string PaneBuilder::evaluateItem(const Value& item, const Command& command) {
    auto compiled = item.objectAs<CustomExpression>();
    if (!compiled) return item.toString();
    auto copied = compiled->copy();
    auto* expression = static_cast<CustomExpression*>(copied.get());
    expression->setBrowser(this);
    expression->setAtDelegate(this);
    expression->setParce(parce_);
    if (auto error = expression->evaluateWith(variables_)) causeError(*error, &command);
    return expression->value();
}

void PaneBuilder::finishCell() {
    if (!currentCell_) return;
    std::shared_ptr<CustomCell> cell = std::move(currentCell_);
    currentCell_.reset();
    // A locked record's cells take no typing and no picks.
    if (locked_) cell->setLocked(true);
    CellRect frame = cell->viewFrame();
    if (cell->isBoxSubclass()) {
        // A group box opens its own layout instead of taking part in the flow.
        layout_.wrapCell(frame, variables_);
        frame.width = std::max(1.0, frame.width);
        cell->setViewFrame(frame);
        background_.addCustomCell(cell);
        groupKept_ = layout_.keepLayout();
        auto* box = dynamic_cast<GroupBox*>(cell.get());
        layout_.startInnerLayout(box ? box->contentWidth() : frame.width - varFloatValue("#leftSkip"), topMargin(),
                                 variables_);
        background_.setGroupBox(cell.get());
        return;
    }
    if (auto pane = std::dynamic_pointer_cast<EditPaneCell>(cell)) {
        // The large text pane is not in the flow: the window's split shows it.
        background_.addSplitCell(cell);
        splitCell_ = std::move(pane);
        return;
    }
    layout_.wrapCell(frame, variables_);
    cell->setViewFrame(frame);
    background_.addCustomCell(cell);
    if (cell->actionOnFinish()) layout_.advancePastCell(frame, variables_);
}

void PaneBuilder::endGroup(bool remove) {
    CustomCell* box = background_.groupBox();
    if (!box) return;
    background_.setGroupBox(nullptr);
    if (remove) {
        layout_.restoreLayout(groupKept_);
        background_.removeCustomCell(box);
        return;
    }
    const double inner = layout_.layoutContentBottom;
    layout_.restoreLayout(groupKept_);
    CellRect frame = box->viewFrame();
    if (auto* group = dynamic_cast<GroupBox*>(box)) {
        frame.height = group->finishGroup(inner, varFloatValue("#lineSkip"));
    } else {
        frame.height = std::max(frame.height, inner + varFloatValue("#lineSkip"));
        box->setViewFrame(frame);
    }
    layout_.layoutHPos = frame.right() + varFloatValue("#cellSkip");
    layout_.layoutLineHeight = std::max(layout_.layoutLineHeight, frame.height);
    layout_.layoutContentBottom = std::max(layout_.layoutContentBottom, layout_.layoutVPos + frame.height);
}

CustomCell& PaneBuilder::verifyInCell() {
    if (!currentCell_) causeError("Cell command encountered when no cell open");
    return *currentCell_;
}

CustomCell& PaneBuilder::verifyValidInCell(std::string_view selector) {
    CustomCell& cell = verifyInCell();
    if (!cell.respondsTo(selector)) causeError("Cell property encountered not allowed for current cell");
    return cell;
}

void PaneBuilder::causeError(const std::string& message, const Command* command) {
    endGroup(false);
    // A handler's error names the command it was reading.
    if (!command) command = read_.nextCmd();
    std::string text;
    if (command && !command->empty()) {
        text = (*command)[0].toString();
        for (std::size_t i = 2; i < command->size(); ++i) text += " " + (*command)[i].toString();
    }
    const std::string name =
        env_.templates ? env_.templates->currentTemplate().value_or(std::string()) : std::string();
    raise(exception_names::CustomEditError, message + " (command '" + text + "' in template '" + name + "')");
}

void PaneBuilder::readArguments(const std::string& base) {
    std::vector<std::string> values;
    while (read_.more()) values.push_back(read_.getString());
    replaceArguments(base, values);
}

std::vector<std::string> PaneBuilder::saveArguments(const std::string& base) const {
    std::vector<std::string> values;
    auto count = variables_.find(base + "num");
    const long n = count == variables_.end() ? 0 : std::strtol(count->second.c_str(), nullptr, 10);
    for (long i = 0; i < n; ++i) {
        auto it = variables_.find(i == 0 ? base : base + std::to_string(i));
        values.push_back(it == variables_.end() ? std::string() : it->second);
    }
    return values;
}

void PaneBuilder::replaceArguments(const std::string& base, const std::vector<std::string>& values) {
    variables_[base + "num"] = std::to_string(values.size());
    if (values.empty()) {
        variables_[base] = std::string();
        return;
    }
    for (std::size_t i = 0; i < values.size(); ++i) variables_[i == 0 ? base : base + std::to_string(i)] = values[i];
}

double PaneBuilder::lineWidthLimit() const {
    return layout_.layoutRightMargin - varFloatValue("#rightSkip") - layout_.layoutHPos;
}

// ---- the expression server

std::optional<std::string> PaneBuilder::evaulateCommandExpression(const std::string& text) {
    CustomExpression expression(text, this);
    expression.setAtDelegate(this);
    expression.setParce(parce_);
    if (auto error = expression.evaluateWith(variables_)) causeError(*error);
    return expression.value();
}

std::string PaneBuilder::evaluateAtString(const std::string& text, const Variables& variables) {
    GEDCOMTemporary* frame = layout_.layoutFrame;
    if (!frame || !record_) return std::string();
    KLExpression path(std::string_view(text).substr(text.empty() ? 0 : 1));
    path.setCustomTags([&variables](std::string_view name) -> const std::string* {
        auto it = variables.find(name);
        return it == variables.end() ? nullptr : &it->second;
    });
    std::string value = path.valueInRecord(*frame, *record_, env_.model);
    frame->setLastStructure(path.lastStructure(), path.lastParent());
    return value;
}

double PaneBuilder::topMargin() const { return env_.prefs ? env_.prefs->topMargin() : 10; }
double PaneBuilder::bottomMargin() const { return env_.prefs ? env_.prefs->bottomMargin() : 10; }
double PaneBuilder::currentCellWidth() const { return currentCell_ ? currentCell_->viewFrame().width : -1; }
double PaneBuilder::currentCellHeight() const { return currentCell_ ? currentCell_->viewFrame().height : -1; }

double PaneBuilder::currentImageWidth() const {
    if (!currentCell_) return -1;
    auto image = currentCell_->image();
    return image ? image->width : -1;
}

double PaneBuilder::currentImageHeight() const {
    if (!currentCell_) return -1;
    auto image = currentCell_->image();
    return image ? image->height : -1;
}

double PaneBuilder::currentImagePPI() const {
    if (!currentCell_) return -1;
    auto image = currentCell_->image();
    if (!image || image->width <= 0 || image->pixelsWide <= 0) return -1;
    return std::floor(image->pixelsWide * 72.0 / image->width + 0.5);
}

std::string PaneBuilder::currentMmPath() const { return currentCell_ ? currentCell_->mmPath() : std::string(); }

std::string PaneBuilder::currentImageType() const {
    return currentCell_ ? currentCell_->cellImageType() : std::string("none");
}

std::string PaneBuilder::parentTag() const { return env_.templates ? env_.templates->parentTag() : std::string(); }

std::optional<std::string> PaneBuilder::languageString(std::string_view key) const {
    if (!env_.library) return std::nullopt;
    if (const Value* entry = env_.library->localStrings().get(key)) return entry->toString();
    return std::nullopt;
}

}  // namespace kl
