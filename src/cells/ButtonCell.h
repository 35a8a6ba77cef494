#pragma once
// ButtonCell: the base of every pane cell shown as a push button (link
// buttons, multimedia cells, create-link buttons). It keeps the button's
// look as numbers the view maps to the nearest Qt look (bezel style,
// control size, image position), where a click opens a record
// (windowTarget) and what the button's image is (imageType), and takes the
// template's button properties by their words.
//
// The image itself stays a description (a file, the bytes of a stored
// thumbnail, or a library icon, with the size it is shown at); the view
// reads it through the desktop's image loader. How big an image is comes
// from an image measurer the desktop installs; without one (tests, builds
// without a display) an image is as big as its description says.
//
// Ownership and thread: as CustomCell.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cells/TextCell.h"

namespace kl {

// Where a button or link opens the record it leads to.
enum WindowTarget : int {
    TargetParent = 0,
    TargetChild = 1,
    TargetNew = 2,
    TargetParentIfNew = 3,
    TargetChildIfNew = 4,
    TargetNewIfNew = 5,
    TargetNone = 6,
};

// What a button's image is.
enum CellImageType : int {
    ImageNone = 0,
    ImageFormat = 1,
    ImageURL = 2,
    ImageNotFound = 3,
    ImageThumbnail = 4,
    ImageNoImage = 5,
    ImageOwn = 6,
    ImageNoPermission = 7,
};

// An image a cell shows, and the size it is shown at (points).
struct CellImage {
    std::optional<std::string> path;  // an image file
    std::optional<std::string> data;  // encoded bytes (a stored thumbnail)
    std::optional<std::string> icon;  // a library icon's name
    double width = 0;
    double height = 0;
    double pixelsWide = 0;
    double pixelsHigh = 0;
};

class ButtonCell : public TextCell {
public:
    // Measures an image (its natural size in points and pixels); nullopt
    // when it cannot be read.
    using ImageMeasurer = std::function<std::optional<CellImage>(const CellImage&)>;
    static void setImageMeasurer(ImageMeasurer measurer);
    static std::optional<CellImage> measureImage(const CellImage& image);

    ButtonCell(std::string className, const CellRect& frame, const EditingPrefs* prefs);

    // The WindowTarget of a word in any case; nullopt for an unknown one.
    static std::optional<int> windowTargetForWord(const std::string& word);
    // The word of a CellImageType: "none" outside 2 to 7.
    static std::string imageTypeWord(int type);

    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    bool cellBordered(const std::string& word) override;
    void sizeToFit(double extra) override;
    void sizeToWidth() override { sizeToFit(0); }
    std::string cellImageType() const override { return imageTypeWord(imageType_); }
    std::optional<ImageSize> image() const override;
    void cellImageSize(double width, double height) override;

    bool controlSize(const std::string& word);
    bool cellImagePosition(const std::string& word);
    bool setWindowTargetString(const std::string& word);
    // An image of the current format ("images/<name>.png" or ".tiff").
    bool cellImage(const std::string& name);
    void cellNSImage(const CellImage& image);
    const std::optional<CellImage>& shownImage() const { return image_; }

    int windowTarget() const { return windowTarget_; }
    void setWindowTarget(int target) { windowTarget_ = target; }
    int imageType() const { return imageType_; }
    void setImageType(int type) { imageType_ = type; }
    // 0 borderless; else the bezel: 1 rounded, 2 regular square,
    // 6 shadowless square, 7 circular, 8 textured square, 10 small square.
    int bezelStyle() const { return bordered_ ? bezel_ : 0; }
    bool bordered() const { return bordered_; }
    void setBordered(bool bordered) { bordered_ = bordered; refresh(); }
    void setBezelStyle(int bezel) { bezel_ = bezel; refresh(); }
    // 0 regular, 1 small, 2 mini.
    int buttonControlSize() const { return controlSize_; }
    // 0 no image, 1 image only, 2 left, 3 right, 4 below, 5 above, 6 overlaps.
    int imagePosition() const { return imagePosition_; }

    // The user clicked; optionDown: the Alt key was held.
    virtual void buttonClick(bool optionDown) { (void)optionDown; }
    // The actions of the button's context menu, by tag and title.
    struct MenuItem {
        int tag = 0;
        std::string title;
    };
    virtual std::vector<MenuItem> contextMenu() const { return {}; }
    virtual void cellMenuAction(int tag) { (void)tag; }

protected:
    // The button grows to hold its picture and title.
    void growForImage();

private:
    CellRect fittedFrame() const;

    int windowTarget_ = TargetParent;
    int imageType_ = ImageNone;
    int bezel_ = 2;
    bool bordered_ = true;
    int controlSize_ = 0;
    int imagePosition_ = 0;
    std::optional<CellImage> image_;
};

}  // namespace kl
