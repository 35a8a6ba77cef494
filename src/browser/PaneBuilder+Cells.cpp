// The Cell command, the properties of the cell just made and the drawing
// commands of a palette.
#include <cmath>
#include <filesystem>

#include "app/EditingPrefs.h"
#include "app/LibraryFolder.h"
#include "browser/PaneBuilder.h"
#include "cells/CellKinds.h"
#include "cells/MultimediaCell.h"
#include "cells/CustomCell.h"
#include "foundation/AsciiText.h"
#include "foundation/Numbers.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMRecord.h"
#include "model/OBJERecord.h"
#include "document/GEDCOMModel.h"
#include "model/wex.h"
#include "script/TemplateCommandSet.h"
#include "script/Templates.h"

namespace kl {

namespace {

bool oneOf(const std::string& word, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (word == w) return true;
    return false;
}

std::string numberText(double value) { return formatGeneral(value, 8); }

}  // namespace

void PaneBuilder::doCell(GEDCOMTemporary& frame) {
    finishCell();
    const std::string kind = asciiLower(read_.getString());
    if (!TemplateCommandSet::isCellKind(kind)) causeError("Unknown cell type '" + kind + "'");
    const bool oneLine = wex::isOneLine(frame.contents());
    CellSeed seed{kind, frame.structure(), frame.gtag(), frame.glevel(), frame.contents(),
                  {layout_.layoutHPos, layout_.layoutVPos, layout_.layoutDefaultWidth, layout_.layoutDefaultHeight},
                  env_.prefs, record_ ? record_->recordType() : std::string()};
    if (oneOf(kind, {"editname", "editdate", "editfile"}) && !oneLine) {
        const char* name = kind == "editname" ? "EditName" : kind == "editdate" ? "EditDate" : "EditFile";
        causeError(std::string(name) + " cells cannot edit multiple line structures");
    }
    if (kind == "editfile" && !(record_ && record_->isType("OBJE")))
        causeError("EditFile cells can only be used in multimedia object records");
    if (kind == "editpane") {
        if (hasEditPane_) causeError("Only one EditPane cell is allowed per window.");
        if (background_.groupBox()) causeError("EditPane cell cannot be created while group box is active.");
        hasEditPane_ = true;
    }
    if (kind == "expression" || kind == "expressionfield") {
        read_.getString();
        if (read_.more()) causeError("Expression cell type with more than one expression argument");
        seed.structure = frame.lastPathStructure();
    }
    if (kind == "createlinkbutton" && frame.structure())
        causeError("CreateLink cell type can only be for structure that does not exist");
    if (kind == "groupbox" && background_.groupBox()) causeError("Group boxes cannot be nested.");

    std::shared_ptr<CustomCell> cell = CellKinds::make(seed);
    if (env_.makeView && cell->hasView()) cell->setView(env_.makeView(*cell));
    if (kind == "structureslink") {
        const std::string templateName = read_.getString();
        cell->takeProperty("setTemplate:", {templateName});
        if (read_.more()) cell->takeProperty("setParameter:", {read_.getString()});
        const std::string location = env_.templates->currentTagPath() + " " +
                                     std::to_string(layout_.incrementStructureLinks());
        cell->takeProperty("setTagLocation:", {location});
    } else if (oneOf(kind, {"label", "static", "staticfield", "linkbutton", "multimedia", "createlinkbutton",
                            "checkboxedit", "groupbox", "editpane"}) &&
               read_.more()) {
        cell->appendText(read_.getString());
    }
    if (cell->dataChangingCell()) {
        if (frame.defaultCellLocked()) causeError("Data changing cell created at invalid location.");
        background_.removeCustomCell(dynamic_cast<CustomCell*>(frame.defaultSaveCell().get()));
        frame.setDefaultCellLocked(true);
    }
    currentCell_ = std::move(cell);
}

void PaneBuilder::passProperty(std::string_view selector, std::vector<std::string> values, const char* refusal) {
    CustomCell& cell = verifyValidInCell(selector);
    if (!cell.takeProperty(selector, values) && refusal) causeError(refusal);
}

std::optional<Color> PaneBuilder::formatColor(const std::string& name, bool allowNone) {
    if (allowNone && asciiLower(name) == "none") return std::nullopt;
    if (env_.prefs)
        if (auto color = env_.prefs->colorNamed(name)) return color;
    causeError("No color named '" + name + "' is defined in this format.");
}

void PaneBuilder::doAddpane(GEDCOMTemporary&) {
    verifyValidInCell("addBarSegment:tag:");
    const std::string label = read_.getString();
    passProperty("addBarSegment:tag:", {label, read_.getString()});
}

void PaneBuilder::doAlignment(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("cellAlignment:");
    if (!cell.cellAlignment(read_.getString())) causeError("Alignment not allowed in current cell.");
}

void PaneBuilder::doAppendedexpression(GEDCOMTemporary&) {
    verifyValidInCell("appendedExpression:");
    passProperty("appendedExpression:", {read_.getString()});
}

void PaneBuilder::doAutoreload(GEDCOMTemporary&) {
    verifyValidInCell("setReloadOnUpdate:");
    passProperty("setReloadOnUpdate:", {asciiLower(read_.getString()) == "yes" ? "yes" : "no"});
}

void PaneBuilder::doBorder(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("cellBordered:");
    if (!cell.cellBordered(asciiLower(read_.getString())))
        causeError("Border setting is not allowed or is invalid for current cell");
}

void PaneBuilder::doBordercolor(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("cellBorderColor:");
    cell.cellBorderColor(formatColor(read_.getString(), true));
}

void PaneBuilder::doBorderwidth(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("cellBorderWidth:");
    cell.cellBorderWidth(read_.getFloat());
}

void PaneBuilder::doCellbackground(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("cellBackgroundColor:");
    const std::string name = read_.getString();
    if (asciiLower(name) == "parent") {
        CustomCell* box = background_.groupBox();
        cell.cellBackgroundColor(box ? box->look().backgroundColor : background_.backgroundColor());
        return;
    }
    cell.cellBackgroundColor(formatColor(name, true));
}

void PaneBuilder::doControlsize(GEDCOMTemporary&) {
    verifyValidInCell("controlSize:");
    passProperty("controlSize:", {asciiLower(read_.getString())},
                 "Control size setting must be 'regular,' 'small.' or 'mini'");
}

void PaneBuilder::doEditable(GEDCOMTemporary&) {
    verifyValidInCell("setEditable:");
    passProperty("setEditable:", {asciiLower(read_.getString()) == "yes" ? "yes" : "no"});
}

void PaneBuilder::doFont(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("changeCellFontName:size:color:");
    const std::string name = read_.getString();
    if (env_.prefs)
        if (auto font = env_.prefs->fontNamed(name)) {
            cell.changeCellFontName(font, env_.prefs->fontColorNamed(name), -1, std::nullopt);
            return;
        }
    if (cell.respondsTo("setFont:") && env_.systemFontExists && env_.systemFontExists(name)) {
        Font font = cell.look().font.value_or(Font{});
        font.family = name;
        cell.setFont(font);
        return;
    }
    causeError("No font named '" + name + "' is defined in this format.");
}

void PaneBuilder::doFontsize(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("changeCellFontName:size:color:");
    const double size = read_.getFloat();
    if (size <= 0) causeError("fontSize must be positive.");
    cell.changeCellFontName(std::nullopt, std::nullopt, size, std::nullopt);
}

void PaneBuilder::doFontcolor(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("changeCellFontName:size:color:");
    const std::string name = read_.getString();
    // The desktop's control text colour: the text colour of the palette.
    const std::optional<Color> color = name == "Control Text" ? Color::black() : formatColor(name, false);
    cell.changeCellFontName(std::nullopt, std::nullopt, -1, color);
}

void PaneBuilder::doFormat(GEDCOMTemporary&) { passProperty("setFormat:", {read_.getString()}); }
void PaneBuilder::doFraction(GEDCOMTemporary&) { passProperty("setFraction:", {numberText(read_.getFloat())}); }

void PaneBuilder::doHelp(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("appendHelp:");
    cell.appendHelp(read_.getString());
}

void PaneBuilder::doImage(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("cellImage:");
    const std::string name = read_.getString();
    if (!cell.takeProperty("cellImage:", {name}))
        causeError("Image '" + name + "' not found or image not allowed in cell.");
}

// A button's image: the picture when it can be read, else nothing.
static std::optional<CellImage> readableImage(CellImage image) { return ButtonCell::measureImage(image); }

void PaneBuilder::doImagefile(GEDCOMTemporary&) {
    const std::string path = read_.getString();
    CustomCell& cell = verifyValidInCell("cellNSImage:");
    auto* button = dynamic_cast<ButtonCell*>(&cell);
    if (!button) {
        cell.takeProperty("cellNSImage:", {path});
        return;
    }
    std::optional<std::string> found;
    if (env_.model) found = OBJERecord::multimediaFilePath(path, env_.model->multimediaRoot(), env_.model->fileURL());
    else if (std::filesystem::exists(path)) found = path;
    std::optional<CellImage> image;
    if (found) image = readableImage(CellImage{*found, std::nullopt, std::nullopt, 0, 0, 0, 0});
    if (image) button->cellNSImage(*image);
    auto* media = dynamic_cast<MultimediaCell*>(button);
    if (image && media) {
        media->setMmPath(*found);
        button->setImageType(ImageOwn);
    } else {
        button->setImageType(ImageNone);
    }
}

// The picture of a multimedia record: its stored thumbnail (not for the
// full picture), its image file, or the icon of what it is.
void PaneBuilder::objectImage(bool full) {
    const std::string recordID = read_.getString();
    std::shared_ptr<OBJERecord> object;
    if (env_.model) object = std::dynamic_pointer_cast<OBJERecord>(env_.model->recordWithID(recordID, "OBJE"));
    CellImage image;
    int type = ImageNotFound;
    std::optional<std::string> filePath;
    OBJERecord::ImageState state;
    if (object) state = object->getMMImageInFile(!full);
    if (object && state.isURL) {
        image.icon = "URLIcon";
        type = ImageURL;
    } else if (object && state.gotThumb) {
        image.data = state.thumbnail;
        type = ImageThumbnail;
    } else if (object && state.found && state.fullPath) {
        filePath = state.fullPath;
        if (state.isImage) {
            image.path = state.fullPath;
            type = ImageOwn;
        } else {
            image.icon = object->mmFormat() + "Icon";
            type = state.canRead ? ImageNoImage : ImageNoPermission;
        }
    } else if (auto thumb = full && env_.model ? env_.model->getThumbnail(recordID) : std::nullopt) {
        image.data = std::move(thumb);
        type = ImageThumbnail;
    } else {
        image.icon = "FileNotFoundIcon";
    }
    auto measured = readableImage(image);
    if (!measured && (type == ImageOwn || type == ImageThumbnail)) {
        // A picture that does not read shows its file's icon instead.
        image = CellImage{};
        image.icon = "FileNotFoundIcon";
        measured = readableImage(image);
    }
    CustomCell& cell = verifyValidInCell("cellNSImage:");
    auto* button = dynamic_cast<ButtonCell*>(&cell);
    if (!button) {
        cell.takeProperty("cellNSImage:", {recordID, full ? "full" : "thumbnail"});
        return;
    }
    button->cellNSImage(measured.value_or(image));
    button->setImageType(type);
    if (full && filePath)
        if (auto* media = dynamic_cast<MultimediaCell*>(button)) media->setMmPath(*filePath);
}

void PaneBuilder::doObjectimage(GEDCOMTemporary&) { objectImage(false); }
void PaneBuilder::doObjectfull(GEDCOMTemporary&) { objectImage(true); }

void PaneBuilder::doImageposition(GEDCOMTemporary&) {
    verifyValidInCell("cellImagePosition:");
    passProperty("cellImagePosition:", {read_.getString()},
                 "Invalid image position or image position not allowed in cell.");
}

// An image with a side of zero has no proportions to keep: it stays as
// it is rather than taking an infinite or undefined size.
void PaneBuilder::resizeImage(bool byHeight) {
    CustomCell& cell = verifyValidInCell("cellImageSize:");
    const double wanted = read_.getFloat();
    auto image = cell.image();
    if (!image || image->width <= 0 || image->height <= 0) return;
    const double ratio = image->width / image->height;
    if (byHeight) cell.cellImageSize(wanted * ratio, wanted);
    else cell.cellImageSize(wanted, wanted / ratio);
}

void PaneBuilder::doImageheight(GEDCOMTemporary&) { resizeImage(true); }
void PaneBuilder::doImagewidth(GEDCOMTemporary&) { resizeImage(false); }

void PaneBuilder::doLineheight(GEDCOMTemporary&) {
    verifyValidInCell("cellLineHeight:");
    passProperty("cellLineHeight:", {numberText(read_.getFloat())});
}

void PaneBuilder::doLocalize(GEDCOMTemporary&) {
    verifyValidInCell("setLocalizeExpr:");
    const std::string word = asciiLower(read_.getString());
    if (word != "yes" && word != "true" && word != "no" && word != "false")
        causeError("Localize must be 'true' or 'false'.");
    passProperty("setLocalizeExpr:", {word == "yes" || word == "true" ? "yes" : "no"});
}

void PaneBuilder::doMenuitems(GEDCOMTemporary&) {
    verifyValidInCell("appendMenuItem:");
    while (read_.more()) passProperty("appendMenuItem:", {read_.getString()});
}

void PaneBuilder::doMenulink(GEDCOMTemporary&) {
    verifyValidInCell("setMenuLink:");
    const std::string name = read_.getString();
    const Value* commands = env_.library ? env_.library->klDictionary("MenuCommands") : nullptr;
    const Value* tag = commands && commands->dictionary() ? commands->dictionary()->get(name) : nullptr;
    if (!tag) causeError("MenuLink to '" + name + "' is not a valid menu command.");
    passProperty("setMenuLink:", {std::to_string(tag->toInteger())});
}

void PaneBuilder::doMmformat(GEDCOMTemporary&) {
    verifyValidInCell("setMmForm:");
    passProperty("setMmForm:", {asciiLower(read_.getString())});
}

void PaneBuilder::doOffvalue(GEDCOMTemporary&) { passProperty("setOffValue:", {read_.getString()}); }
void PaneBuilder::doOnvalue(GEDCOMTemporary&) { passProperty("setOnValue:", {read_.getString()}); }
void PaneBuilder::doPaneid(GEDCOMTemporary&) { passProperty("setPaneIDLink:", {read_.getString()}); }
void PaneBuilder::doPosition(GEDCOMTemporary&) { passProperty("setPanePosition:", {read_.getString()}); }
void PaneBuilder::doRecordlink(GEDCOMTemporary&) { passProperty("setRecordLink:", {read_.getString()}); }
void PaneBuilder::doScriptlink(GEDCOMTemporary&) { passProperty("setScriptLink:", {read_.getString()}); }

void PaneBuilder::doScripttype(GEDCOMTemporary&) {
    verifyValidInCell("setScriptLinkType:");
    passProperty("setScriptLinkType:", {read_.getString()}, "Script type must be 'User', 'System', or 'Format'.");
}

void PaneBuilder::doScriptmessage(GEDCOMTemporary&) {
    verifyValidInCell("setScriptMessage:");
    passProperty("setScriptMessage:", {read_.getString()}, "Script message must be set after the script link.");
}

void PaneBuilder::doSelected(GEDCOMTemporary&) { passProperty("segSelect:", {read_.getString()}); }

void PaneBuilder::doTarget(GEDCOMTemporary&) {
    verifyValidInCell("setWindowTargetString:");
    passProperty("setWindowTargetString:", {read_.getString()},
                 "Link target must be 'Parent', 'Child', 'New', 'ParentIfNew', 'ChildIfNew', or 'NewIfNew'.");
}

void PaneBuilder::doText(GEDCOMTemporary&) {
    CustomCell& cell = verifyValidInCell("appendText:");
    cell.appendText(read_.getString());
}

void PaneBuilder::doTextexpression(GEDCOMTemporary& frame) {
    verifyValidInCell("cellExpression:");
    const std::string value = read_.getString();
    if (read_.more())
        causeError("TextExpression command can have only one parameter or it must be the last property in a 'set' "
                   "command");
    CustomCell& cell = *currentCell_;
    auto reached = frame.lastPathStructure();
    if (auto* link = dynamic_cast<LinkButton*>(&cell)) {
        // A path that stopped on a frame reached the structure the frame shows.
        if (auto shownFrame = std::dynamic_pointer_cast<GEDCOMTemporary>(reached)) reached = shownFrame->structure();
        link->cellExpression(reached, record_.get(), env_.model);
        return;
    }
    cell.takeProperty("cellExpression:", {value, reached ? reached->gtag() : std::string()});
}

void PaneBuilder::doTitleposition(GEDCOMTemporary&) { passProperty("cellTitlePosition:", {read_.getString()}); }
void PaneBuilder::doUrl(GEDCOMTemporary&) { passProperty("setCellURL:", {read_.getString()}); }

void PaneBuilder::doWatch(GEDCOMTemporary& frame) {
    CustomCell& cell = verifyInCell();
    read_.getString();
    if (read_.more()) causeError("Watch command with more than one expression argument");
    if (auto reached = frame.lastPathStructure()) cell.addWatchStructures({reached});
}

// ---- palette drawing

void PaneBuilder::drawCommand(int code, int numbers) {
    CustomCell& cell = verifyInCell();
    if (!cell.isPaletteCell()) causeError("Cell property encountered not allowed for current cell");
    std::vector<std::string> args{std::to_string(code)};
    for (int i = 0; i < numbers; ++i) args.push_back(numberText(read_.getFloat()));
    cell.takeProperty("addDrawCommand:args:", args);
}

void PaneBuilder::doPalmoveto(GEDCOMTemporary&) { drawCommand(0, 2); }
void PaneBuilder::doPallineto(GEDCOMTemporary&) { drawCommand(1, 2); }
void PaneBuilder::doPalline(GEDCOMTemporary&) { drawCommand(2, 2); }
void PaneBuilder::doPalmove(GEDCOMTemporary&) { drawCommand(3, 2); }
void PaneBuilder::doPallinewidth(GEDCOMTemporary&) { drawCommand(4, 1); }
void PaneBuilder::doPalframerect(GEDCOMTemporary&) { drawCommand(6, 4); }
void PaneBuilder::doPalframeoval(GEDCOMTemporary&) { drawCommand(7, 4); }
void PaneBuilder::doPalfillrect(GEDCOMTemporary&) { drawCommand(8, 4); }
void PaneBuilder::doPalfilloval(GEDCOMTemporary&) { drawCommand(9, 4); }

void PaneBuilder::doPaldrawcolor(GEDCOMTemporary&) {
    CustomCell& cell = verifyInCell();
    if (!cell.isPaletteCell()) causeError("Cell property encountered not allowed for current cell");
    const std::optional<Color> color = formatColor(read_.getString(), false);
    cell.takeProperty("addDrawCommand:args:", {"5", numberText(color->red), numberText(color->green),
                                               numberText(color->blue), numberText(color->alpha)});
}

}  // namespace kl
