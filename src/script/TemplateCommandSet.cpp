#include "script/TemplateCommandSet.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "foundation/AsciiText.h"

namespace kl {

namespace {

using G = TemplateCommandSet::Group;
using Info = TemplateCommandSet::CommandInfo;

constexpr std::array<Info, 108> commandTable{{
    {"Cell", G::CellCreation},
    // cell properties
    {"Addpane", G::CellProperty}, {"Alignment", G::CellProperty}, {"Appendedexpression", G::CellProperty},
    {"Autoreload", G::CellProperty}, {"Border", G::CellProperty}, {"Bordercolor", G::CellProperty},
    {"Borderwidth", G::CellProperty}, {"Cellbackground", G::CellProperty}, {"Controlsize", G::CellProperty},
    {"Editable", G::CellProperty}, {"Font", G::CellProperty}, {"Fontcolor", G::CellProperty},
    {"Fontsize", G::CellProperty}, {"Format", G::CellProperty}, {"Fraction", G::CellProperty},
    {"Help", G::CellProperty}, {"Image", G::CellProperty}, {"Imagefile", G::CellProperty},
    {"Imageheight", G::CellProperty}, {"Imageposition", G::CellProperty}, {"Imagewidth", G::CellProperty},
    {"Lineheight", G::CellProperty}, {"Localize", G::CellProperty}, {"Menuitems", G::CellProperty},
    {"Menulink", G::CellProperty}, {"Mmformat", G::CellProperty}, {"Objectfull", G::CellProperty},
    {"Objectimage", G::CellProperty}, {"Offvalue", G::CellProperty}, {"Onvalue", G::CellProperty},
    {"Paneid", G::CellProperty}, {"Position", G::CellProperty}, {"Recordlink", G::CellProperty},
    {"Scriptlink", G::CellProperty}, {"Scriptmessage", G::CellProperty}, {"Scripttype", G::CellProperty},
    {"Selected", G::CellProperty}, {"Target", G::CellProperty}, {"Text", G::CellProperty},
    {"Textexpression", G::CellProperty}, {"Titleposition", G::CellProperty}, {"Url", G::CellProperty},
    {"Watch", G::CellProperty},
    // palette drawing
    {"Palmoveto", G::PaletteDrawing}, {"Pallineto", G::PaletteDrawing}, {"Palmove", G::PaletteDrawing},
    {"Palline", G::PaletteDrawing}, {"Pallinewidth", G::PaletteDrawing}, {"Paldrawcolor", G::PaletteDrawing},
    {"Palframerect", G::PaletteDrawing}, {"Palframeoval", G::PaletteDrawing}, {"Palfillrect", G::PaletteDrawing},
    {"Palfilloval", G::PaletteDrawing},
    // layout
    {"Newline", G::Layout}, {"Tab", G::Layout}, {"Settab", G::Layout}, {"Cleartabs", G::Layout},
    {"Tabwidth", G::Layout}, {"Hskip", G::Layout}, {"Hmoveto", G::Layout}, {"Vmoveto", G::Layout},
    {"Moveto", G::Layout}, {"Shift", G::Layout}, {"Offset", G::Layout}, {"Width", G::Layout},
    {"Height", G::Layout}, {"Minheight", G::Layout}, {"Maxheight", G::Layout}, {"Maxwidth", G::Layout},
    {"Sizetofit", G::Layout}, {"Defaultcellsize", G::Layout}, {"Displaywidth", G::Layout},
    {"Displayheight", G::Layout}, {"Resizewindow", G::Layout}, {"Title", G::Layout}, {"Endgroup", G::Layout},
    {"Background", G::Layout},
    // structures
    {"Show", G::Structures}, {"Showall", G::Structures}, {"Use", G::Structures}, {"Hide", G::Structures},
    {"Hideexcess", G::Structures}, {"Linkall", G::Structures}, {"Optionaltag", G::Structures},
    {"Droptypes", G::Structures}, {"Readall", G::Structures}, {"Repeatwith", G::Structures},
    // flow and variables
    {"If", G::Flow}, {"Ifdef", G::Flow}, {"Ifndef", G::Flow}, {"Ifnum", G::Flow}, {"Ifstr", G::Flow},
    {"Repeat", G::Flow}, {"Endrepeat", G::Flow}, {"Continue", G::Flow}, {"Exit", G::Flow}, {"Gosub", G::Flow},
    {"Local", G::Flow}, {"Pushvariables", G::Flow}, {"Popvariables", G::Flow}, {"Unset", G::Flow},
    {"Set", G::Flow}, {"Words", G::Flow}, {"Lines", G::Flow}, {"Import", G::Flow}, {"Export", G::Flow},
    {"Log", G::Flow},
}};

constexpr std::array<const char*, 21> cellKindTable{
    "label", "static", "staticfield", "editvalue", "editname", "editdate", "editfile",
    "editurl", "editfield", "editpane", "expression", "expressionfield", "linkbutton", "multimedia",
    "createlinkbutton", "checkboxedit", "popupmenuedit", "structureslink", "groupbox", "palette", "panebar"};

const std::unordered_map<std::string, G>& handlers() {
    static const auto table = [] {
        std::unordered_map<std::string, G> map;
        for (const Info& info : commandTable) map.emplace(TemplateCommandSet::handlerName(info.word), info.group);
        return map;
    }();
    return table;
}

}  // namespace

std::span<const TemplateCommandSet::CommandInfo> TemplateCommandSet::commands() { return commandTable; }

std::span<const char* const> TemplateCommandSet::cellKinds() { return cellKindTable; }

std::string TemplateCommandSet::handlerName(std::string_view word) {
    std::string name = "do" + asciiLower(word) + ":";
    if (name.size() > 3 && name[2] >= 'a' && name[2] <= 'z') name[2] = static_cast<char>(name[2] - 32);
    return name;
}

bool TemplateCommandSet::hasHandler(std::string_view handler) { return handlers().contains(std::string(handler)); }

bool TemplateCommandSet::isCellKind(std::string_view kind) {
    const std::string lower = asciiLower(kind);
    return std::any_of(cellKindTable.begin(), cellKindTable.end(), [&](const char* k) { return lower == k; });
}

bool TemplateCommandSet::groupOf(std::string_view handler, Group& group) {
    const auto it = handlers().find(std::string(handler));
    if (it == handlers().end()) return false;
    group = it->second;
    return true;
}

}  // namespace kl
