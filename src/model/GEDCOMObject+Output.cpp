// Writing a subtree as GEDCOM text, as rows for scripts, and as marked runs
// for the source view.
#include <array>
#include <charconv>
#include <iostream>

#include "model/GEDCOMObject.h"
#include "model/GEDCOMStructure.h"

namespace kl {

// Built element by element: an initializer list of Values trips a false
// maybe-uninitialized warning of GCC 12 in optimised builds.
Array GEDCOMObject::gedcomRow(int level, const std::string& first, const std::string& second) {
    Array row;
    row.reserve(3);
    row.emplace_back(level);
    row.emplace_back(first);
    row.emplace_back(second);
    return row;
}

std::string GEDCOMObject::structureLine() const {
    std::string out;
    appendStructureLine(out);
    return out;
}

void GEDCOMObject::appendStructureLine(std::string&) const {}

namespace {

void appendSubtree(const GEDCOMObject& node, std::string& out) {
    node.walk([&out](GEDCOMObject& n) {
        n.appendStructureLine(out);
        return GEDCOMObject::WalkStep::Continue;
    });
}

}  // namespace

// Runs once per record on every save and export: the frames of the usual
// few levels live on the stack, and only a deeper branch pays for the heap
// stack of a walk.
void GEDCOMObject::appendGEDCOM(std::string& out) const {
    struct Frame {
        const StructureList* children;
        std::size_t next;
    };
    constexpr std::size_t kInlineDepth = 24;
    std::array<Frame, kInlineDepth> frames;
    std::size_t depth = 0;
    appendStructureLine(out);
    frames[depth++] = {&structures(), 0};
    while (depth > 0) {
        Frame& top = frames[depth - 1];
        if (top.next == top.children->size()) {
            --depth;
            continue;
        }
        const GEDCOMObject& child = *(*top.children)[top.next++];
        child.appendStructureLine(out);
        const StructureList& grandchildren = child.structures();
        if (grandchildren.empty()) continue;
        if (depth < kInlineDepth)
            frames[depth++] = {&grandchildren, 0};
        else
            for (const auto& deeper : grandchildren) appendSubtree(*deeper, out);
    }
}

bool GEDCOMObject::appendGEDCOMUntil(std::string& out, const GEDCOMObject* until) const {
    bool complete = true;
    walk([&](GEDCOMObject& n) {
        if (&n == until) {
            complete = false;
            return WalkStep::Stop;
        }
        n.appendStructureLine(out);
        return WalkStep::Continue;
    });
    return complete;
}

std::string GEDCOMObject::gedcomString() const {
    std::string out;
    appendGEDCOM(out);
    return out;
}

void GEDCOMObject::appendGEDCOMArray(Array& rows) const {
    walk([&rows](GEDCOMObject& n) {
        rows.emplace_back(gedcomRow(n.glevel(), n.gtag(), n.contents()));
        return WalkStep::Continue;
    });
}

Array GEDCOMObject::gedcomArray() const {
    Array rows;
    appendGEDCOMArray(rows);
    return rows;
}

bool GEDCOMObject::isMarkedInSource() const {
    return glevel_ == 0 ? isCorrupt(CorruptRecordLevelMask) : corrupt() != 0;
}

void GEDCOMObject::appendAttributedGEDCOM(std::vector<AttributedRun>& runs) const {
    walk([&runs](GEDCOMObject& n) {
        std::string line = n.structureLine();
        if (!line.empty()) runs.push_back({std::move(line), n.isMarkedInSource()});
        return WalkStep::Continue;
    });
}

std::vector<AttributedRun> GEDCOMObject::attributedGedcomString() const {
    std::vector<AttributedRun> runs;
    appendAttributedGEDCOM(runs);
    return runs;
}

std::string GEDCOMObject::description() const {
    return std::to_string(glevel_) + " " + gtag() + " " + contents();
}

void GEDCOMObject::logStructures(const std::optional<std::string>& prefix) const {
    const std::string start = prefix.value_or(std::string());
    struct Frame {
        const GEDCOMObject* node;
        std::size_t depth;
    };
    std::vector<Frame> stack{{this, 0}};
    while (!stack.empty()) {
        Frame f = stack.back();
        stack.pop_back();
        std::clog << start << std::string(2 * f.depth, ' ') << f.node->description() << '\n';
        const auto& children = f.node->structures();
        for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back({asNode(it->get()), f.depth + 1});
    }
}

}  // namespace kl
