#include "cells/ButtonCell.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "app/AppController.h"
#include "app/EditingPrefs.h"
#include "app/LibraryFolder.h"
#include "foundation/AsciiText.h"
#include "script/Templates.h"

namespace kl {

namespace {

constexpr std::array<std::string_view, 9> kButtonSelectors{
    "controlSize:", "cellImage:", "cellNSImage:", "setImageType:", "cellImageSize:",
    "cellImagePosition:", "setWindowTargetString:", "setWindowTarget:", "buttonClick:"};

ButtonCell::ImageMeasurer& measurer() {
    static ButtonCell::ImageMeasurer installed;
    return installed;
}

template <std::size_t N>
std::optional<int> indexOf(const std::array<std::string_view, N>& words, const std::string& word) {
    auto it = std::find(words.begin(), words.end(), word);
    if (it == words.end()) return std::nullopt;
    return static_cast<int>(it - words.begin());
}

}  // namespace

void ButtonCell::setImageMeasurer(ImageMeasurer m) { measurer() = std::move(m); }

std::optional<CellImage> ButtonCell::measureImage(const CellImage& image) {
    if (measurer()) return measurer()(image);
    return image;
}

ButtonCell::ButtonCell(std::string className, const CellRect& frame, const EditingPrefs* prefs)
    : TextCell(std::move(className)) {
    setViewFrame(frame);
    if (prefs) {
        if (auto font = prefs->fontNamed("Button Text")) look().font = *font;
        if (auto color = prefs->fontColorNamed("Button Text")) look().textColor = *color;
        look().underline = prefs->fontUnderlineNamed("Button Text");
    }
}

std::optional<int> ButtonCell::windowTargetForWord(const std::string& word) {
    static constexpr std::array<std::string_view, 7> words{"parent",      "child",      "new",     "parentifnew",
                                                           "childifnew",  "newifnew",   "none"};
    return indexOf(words, asciiLower(word));
}

std::string ButtonCell::imageTypeWord(int type) {
    static constexpr std::array<const char*, 6> words{"url", "notfound", "thumbnail", "noimage", "image", "nopermission"};
    if (type < 2 || type > 7) return "none";
    return words[static_cast<std::size_t>(type - 2)];
}

bool ButtonCell::respondsTo(std::string_view selector) const {
    return TextCell::respondsTo(selector) ||
           std::find(kButtonSelectors.begin(), kButtonSelectors.end(), selector) != kButtonSelectors.end();
}

bool ButtonCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    const std::string first = values.empty() ? std::string() : values.front();
    if (selector == "controlSize:") return controlSize(first);
    if (selector == "cellImagePosition:") return cellImagePosition(first);
    if (selector == "setWindowTargetString:") return setWindowTargetString(first);
    if (selector == "cellImage:") return cellImage(first);
    if (selector == "setImageType:") {
        imageType_ = std::atoi(first.c_str());
        return true;
    }
    return TextCell::takeProperty(selector, values);
}

bool ButtonCell::cellBordered(const std::string& word) {
    static const std::array<std::pair<std::string_view, int>, 10> bezels{{{"rounded", 1},
                                                                          {"yes", 1},
                                                                          {"regularsquare", 2},
                                                                          {"thicksquare", 2},
                                                                          {"thickersquare", 2},
                                                                          {"shadowlesssquare", 6},
                                                                          {"circular", 7},
                                                                          {"texturedsquare", 8},
                                                                          {"smallsquare", 10},
                                                                          {"none", 0}}};
    const std::string lower = asciiLower(word);
    bordered_ = true;
    if (lower == "none" || lower == "no") {
        bordered_ = false;
        refresh();
        return true;
    }
    for (const auto& [name, bezel] : bezels)
        if (lower == name) {
            bezel_ = bezel;
            refresh();
            return true;
        }
    refresh();
    return false;
}

void ButtonCell::sizeToFit(double extra) {
    const CellRect fitted = fittedFrame();
    CellRect frame = viewFrame();
    frame.width = fitted.width + (extra > 0 ? extra : 0);
    frame.height = fitted.height;
    setViewFrame(frame);
}

// A picture is not cut by the button's default size: the button grows to
// hold it (and its title), never shrinks for it.
void ButtonCell::growForImage() {
    const CellRect fitted = fittedFrame();
    CellRect frame = viewFrame();
    frame.width = std::max(frame.width, fitted.width);
    frame.height = std::max(frame.height, fitted.height);
    setViewFrame(frame);
}

CellRect ButtonCell::fittedFrame() const {
    CellRect frame = viewFrame();
    double width = measureText(text()) + (bordered_ ? 16 : 4);
    double height = measureHeight() + (bordered_ ? 6 : 0);
    if (image_ && imagePosition_ != 0) {
        const bool beside = imagePosition_ == 2 || imagePosition_ == 3;
        const bool alone = imagePosition_ == 1 || text().empty();
        if (alone) {
            width = image_->width + 4;
            height = image_->height + 4;
        } else if (beside) {
            width += image_->width + 4;
            height = std::max(height, image_->height + 4);
        } else if (imagePosition_ == 6) {
            width = std::max(width, image_->width + 4);
            height = std::max(height, image_->height + 4);
        } else {
            width = std::max(width, image_->width + 4);
            height += image_->height + 2;
        }
    }
    frame.width = width;
    frame.height = height;
    return frame;
}

std::optional<CustomCell::ImageSize> ButtonCell::image() const {
    if (!image_) return std::nullopt;
    return ImageSize{image_->width, image_->height, image_->pixelsWide, image_->pixelsHigh};
}

void ButtonCell::cellImageSize(double width, double height) {
    if (!image_) return;
    image_->width = width;
    image_->height = height;
    growForImage();
    refresh();
}

bool ButtonCell::controlSize(const std::string& word) {
    static constexpr std::array<std::string_view, 3> words{"regular", "small", "mini"};
    auto size = indexOf(words, word);
    if (!size) return false;
    controlSize_ = *size;
    refresh();
    return true;
}

bool ButtonCell::cellImagePosition(const std::string& word) {
    static constexpr std::array<std::string_view, 7> words{"noimage", "imageonly", "left",    "right",
                                                           "below",   "above",     "overlaps"};
    auto position = indexOf(words, asciiLower(word));
    if (!position) return false;
    imagePosition_ = *position;
    if (image_) growForImage();
    refresh();
    return true;
}

bool ButtonCell::setWindowTargetString(const std::string& word) {
    auto target = windowTargetForWord(word);
    if (!target) return false;
    windowTarget_ = *target;
    return true;
}

bool ButtonCell::cellImage(const std::string& name) {
    LibraryFolder* library = AppController::sharedLibrary();
    if (!library) return false;
    for (const char* extension : {".png", ".tiff"}) {
        const std::filesystem::path file = library->templates().templateFilePath("images/" + name + extension);
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error)) continue;
        auto measured = measureImage(CellImage{file.string(), std::nullopt, std::nullopt, 0, 0, 0, 0});
        if (!measured) continue;
        image_ = *measured;
        imageType_ = ImageFormat;
        refresh();
        return true;
    }
    return false;
}

void ButtonCell::cellNSImage(const CellImage& image) {
    image_ = image;
    growForImage();
    refresh();
}

}  // namespace kl
