#pragma once
// TemplateFacts: what a template expression may ask of the pane being
// built: the editing settings of the format, the pen of the layout, the
// current cell and its image, the document's print settings, the language
// strings of the format and the last subroutine result. The record
// browser implements it for the build it runs; the answers here are those
// of no build at all (no cell, no image, nothing printed), which is what a
// compiled template evaluated outside a pane sees.
//
// Thread: main thread, read during one evaluation.
#include <optional>
#include <string>
#include <string_view>

namespace kl {

class TemplateFacts {
public:
    virtual ~TemplateFacts() = default;

    // Spacing of the current format's editing settings.
    virtual double cellSkip() const { return 5; }
    virtual double lineSkip() const { return 5; }
    virtual double leftSkip() const { return 10; }
    virtual double rightSkip() const { return 10; }
    virtual double topMargin() const { return 10; }
    virtual double bottomMargin() const { return 10; }

    // The layout of the pane, relative to the open group box.
    virtual double rightMargin() const { return 0; }
    virtual double hpos() const { return 0; }
    virtual double vpos() const { return 0; }
    // Edges of the open group box in the pane; 0 without one.
    virtual double groupLeftEdge() const { return 0; }
    virtual double groupTopEdge() const { return 0; }
    virtual double defaultWidth() const { return 72; }
    virtual double defaultHeight() const { return 22; }
    virtual double displayHeight() const { return 0; }

    // The current cell; -1 (and "", "none") without one.
    virtual double currentCellWidth() const { return -1; }
    virtual double currentCellHeight() const { return -1; }
    virtual double currentImageWidth() const { return -1; }
    virtual double currentImageHeight() const { return -1; }
    virtual double currentImagePPI() const { return -1; }
    virtual std::string currentMmPath() const { return {}; }
    virtual std::string currentImageType() const { return "none"; }

    // Tag of the enclosing tag template; empty when there is none.
    virtual std::string parentTag() const { return {}; }
    // The running system as major * 100 + minor, for templates that test it.
    virtual long systemVersion() const { return 1500; }
    virtual int thumbnailSize() const { return 192; }

    // The document's print settings of record panes, in points.
    virtual double paperWidth() const { return 0; }
    virtual double paperHeight() const { return 0; }
    virtual double printTop() const { return 0; }
    virtual double printBottom() const { return 0; }
    virtual double printLeft() const { return 0; }
    virtual double printRight() const { return 0; }

    // Value of the last subroutine "return"; nullopt when there is none.
    virtual std::optional<std::string> subReturnValue() const { return std::nullopt; }
    // The entry of a key in the current format's language strings.
    virtual std::optional<std::string> languageString(std::string_view) const { return std::nullopt; }
};

}  // namespace kl
