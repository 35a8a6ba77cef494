#include "cells/PaletteCell.h"

#include <cstdlib>

namespace kl {

int PaletteCanvas::argumentCount(int code) {
    switch (code) {
    case 0: case 1: case 2: case 3: return 2;
    case 4: return 1;
    case 5: return 4;
    case 6: case 7: case 8: case 9: return 4;
    default: return 0;
    }
}

void PaletteCanvas::addDrawCommand(int code, const std::vector<double>& args) {
    drawCommands_.push_back(code);
    drawCommands_.insert(drawCommands_.end(), args.begin(), args.end());
}

void PaletteCanvas::draw(Painter& painter) const {
    painter.setColor(Color::black());
    painter.setLineWidth(1.0);
    double penX = 0;
    double penY = 0;
    const std::size_t size = drawCommands_.size();
    std::size_t i = 0;
    while (i < size) {
        const int code = static_cast<int>(drawCommands_[i++]);
        if (code < 0 || code > 9) continue;
        const std::size_t count = static_cast<std::size_t>(argumentCount(code));
        if (size - i < count) return;
        const double* a = &drawCommands_[i];
        i += count;
        switch (code) {
        case 0: penX = a[0]; penY = a[1]; break;
        case 1: painter.line(penX, penY, a[0], a[1]); penX = a[0]; penY = a[1]; break;
        case 2: painter.line(penX, penY, penX + a[0], penY + a[1]); penX += a[0]; penY += a[1]; break;
        case 3: penX += a[0]; penY += a[1]; break;
        case 4: painter.setLineWidth(a[0]); break;
        case 5: painter.setColor(Color{a[0], a[1], a[2], a[3]}); break;
        case 6: painter.rect(a[0], a[1], a[2], a[3], false); break;
        case 7: painter.oval(a[0], a[1], a[2], a[3], false); break;
        case 8: painter.rect(a[0], a[1], a[2], a[3], true); break;
        case 9: painter.oval(a[0], a[1], a[2], a[3], true); break;
        }
    }
}

PaletteCell::PaletteCell(const CellRect& frame) : CustomCell("PaletteCell") { setViewFrame(frame); }

bool PaletteCell::respondsTo(std::string_view selector) const {
    return selector == "addDrawCommand:args:" || CustomCell::respondsTo(selector);
}

bool PaletteCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    if (selector != "addDrawCommand:args:" || values.empty()) return CustomCell::takeProperty(selector, values);
    std::vector<double> args;
    for (std::size_t k = 1; k < values.size(); ++k) args.push_back(std::strtod(values[k].c_str(), nullptr));
    canvas_.addDrawCommand(std::atoi(values.front().c_str()), args);
    refresh();
    return true;
}

}  // namespace kl
