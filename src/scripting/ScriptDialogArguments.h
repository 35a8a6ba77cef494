#pragma once
// ScriptDialogArguments: what the dialogs scripts put up ask, read from
// their argument dictionary ("title", "message", "prompt", "buttons",
// "start", "extensions", "multiple", "initialText", "listItems",
// "ForFile"), with the defaults of each dialog, and how an answer maps to
// the result. The Qt dialogs only show and run them. Pure functions; any
// thread.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl::ScriptDialogArguments {

struct Alert {
    std::string message;
    std::string informative;
    std::vector<std::string> buttons;  // one to three titles
};
Alert alert(const Dictionary& arguments);
// The title of the button answered 1000, 1001 or 1002; "" for anything else.
std::string alertAnswer(const Alert& alert, int response);

struct Input {
    std::string title;
    std::string prompt;
    std::string initialText;
    std::vector<std::string> buttons;
};
Input input(const Dictionary& arguments);

struct List {
    std::string title;
    std::string prompt;
    std::vector<std::string> items;  // shown without their ";" mark
    std::vector<std::string> buttons;
    bool multiple = false;
    std::vector<int> initialRows;  // 0-based, in order
};
List list(const Dictionary& arguments);
// Shown items and starting rows from the given items: an item marked with
// a leading ";" starts selected (only the first one with a single choice);
// without marks the first row is.
void setListItems(List& list, const std::vector<std::string>& items);

struct FileStart {
    std::optional<std::filesystem::path> folder;
    std::string name;  // the proposed name of a save panel
};
// Open panel: an existing folder, or an existing file's folder.
FileStart openStart(const Dictionary& arguments);
// Save panel: an existing folder; an existing file's folder and name; for
// a path to nothing, its name and its parent when that is a folder.
FileStart saveStart(const Dictionary& arguments);
std::vector<std::string> extensions(const Dictionary& arguments);
// "multiple" present, whatever its value.
bool openAllowsMultiple(const Dictionary& arguments);

}  // namespace kl::ScriptDialogArguments
