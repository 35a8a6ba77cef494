#pragma once
// TextCell: the base of the one-line text cells (labels, static texts and,
// later, the value fields): a text in a style of the format's editing
// settings, with the template's alignment, background, border and border
// colour, sized to its text on request.
//
// LabelTextCell: the read-only one-line text of the "label" (style 1,
// "Label Text") and "static" (style 0, "Static Text") cell commands.
//
// Ownership and thread: as CustomCell.
#include <optional>
#include <string>

#include "cells/CustomCell.h"

namespace kl {

class EditingPrefs;

class TextCell : public CustomCell {
public:
    // The font and colour names of the text styles.
    static const char* styleName(int style);

    explicit TextCell(std::string className = "TextCell") : CustomCell(std::move(className)) {}

    // The font and colour of a style of the editing settings.
    void setTextStyle(int style, const EditingPrefs* prefs);
    void replaceText(const std::string& text) { setText(text); }

    bool respondsTo(std::string_view selector) const override;
    void appendText(const std::string& text) override { setText(this->text() + text); }
    void changeCellFontName(const std::optional<Font>& font, const std::optional<Color>& fontColor, double size,
                            const std::optional<Color>& color) override;
    void setFont(const Font& font) override;
    void sizeToFit(double extra) override;
    void sizeToWidth() override;
    bool cellAlignment(const std::string& word) override;
    bool cellBordered(const std::string& word) override;
    void cellBorderColor(const std::optional<Color>& color) override;
    void cellBorderWidth(double width) override;
    void cellBackgroundColor(const std::optional<Color>& color) override;
};

class LabelTextCell : public TextCell {
public:
    // At the pen with the default size; the height is remembered, as a
    // label only centres its text while it is at least that high.
    LabelTextCell(int style, const CellRect& frame, const EditingPrefs* prefs);

    int style() const { return style_; }
    double origHeight() const { return origHeight_; }
    // Whether the text is centred vertically in the frame.
    bool centresText() const { return viewFrame().height >= origHeight_; }
    std::string description() const override { return "LabelTextCell: " + text(); }

private:
    int style_;
    double origHeight_;
};

}  // namespace kl
