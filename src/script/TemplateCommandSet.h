#pragma once
// TemplateCommandSet: the vocabulary of record-editing templates, the
// commands that exist only while a record pane is built, and the kinds of
// cell the Cell command makes. A command word W is served by the browser
// handler "do" + W with its first letter upper-cased and the rest
// lower-cased + ":", so words match in any case. The template compiler
// checks words against this one table, so that a template can be compiled
// and checked without any window; the record browser registers one handler
// per name of the same table.
//
// Thread: read-only tables, safe from any thread.
#include <span>
#include <string>
#include <string_view>

namespace kl {

class TemplateCommandSet {
public:
    enum class Group { CellCreation, CellProperty, PaletteDrawing, Layout, Structures, Flow };

    struct CommandInfo {
        const char* word;  // in the form its handler name carries: "Vmoveto"
        Group group;
    };

    // All commands, grouped, in a fixed order.
    static std::span<const CommandInfo> commands();
    // The kinds the Cell command accepts, lower-case.
    static std::span<const char* const> cellKinds();

    // "do" + word lower-cased with its first letter upper-cased + ":".
    static std::string handlerName(std::string_view word);
    // Whether a handler of that exact name ("doFont:") exists.
    static bool hasHandler(std::string_view handler);
    // Whether the word, in any case, names a command.
    static bool isCommand(std::string_view word) { return hasHandler(handlerName(word)); }
    static bool isCellKind(std::string_view kind);
    // The group of a handler name; false when there is no such handler.
    static bool groupOf(std::string_view handler, Group& group);
};

}  // namespace kl
