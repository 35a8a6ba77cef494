#pragma once
// CellKinds: which cell a "Cell" command of each kind makes, and which
// placeholder a template frame gets. Labels and static texts are made here;
// every other kind makes a StandInCell until its own cell class registers
// its maker. A template frame's placeholder is a HiddenCell. The pane builder checks a kind's
// conditions (one-line contents, no open group box, ...) before it asks.
//
// Thread: main thread; makers are registered at start, before any pane.
#include <functional>
#include <memory>
#include <string>

#include "cells/CellRect.h"

namespace kl {

class CustomCell;
class EditingPrefs;
class GEDCOMObject;

// What a new cell is made from.
struct CellSeed {
    std::string kind;                            // lower-case
    std::shared_ptr<GEDCOMObject> structure;     // the frame's (or the last path's) structure
    std::string tag;                             // the frame's tag and level
    int level = 0;
    std::string contents;                        // the frame's contents
    CellRect frame;                              // the pen with the default cell size
    const EditingPrefs* prefs = nullptr;
    std::string recordType;                      // of the record the pane shows
};

class CellKinds {
public:
    using Maker = std::function<std::shared_ptr<CustomCell>(const CellSeed&)>;
    using PlaceholderMaker =
        std::function<std::shared_ptr<CustomCell>(const std::shared_ptr<GEDCOMObject>&, const std::string&, int)>;

    static std::shared_ptr<CustomCell> make(const CellSeed& seed);
    // An empty maker puts the stand-in back.
    static void setMaker(const std::string& kind, Maker maker);
    static std::shared_ptr<CustomCell> makePlaceholder(const std::shared_ptr<GEDCOMObject>& structure,
                                                       const std::string& tag, int level);
    static void setPlaceholderMaker(PlaceholderMaker maker);
    // Whether a link-creating button can make a structure of the tag (a
    // link to a record of another kind): such optional data becomes a drop.
    static bool supportedCreateTag(const std::string& tag);
};

}  // namespace kl
