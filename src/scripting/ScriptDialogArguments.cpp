#include "scripting/ScriptDialogArguments.h"

#include <system_error>

namespace kl::ScriptDialogArguments {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> text(const Dictionary& arguments, const char* key) {
    const Value* value = arguments.get(key);
    if (!value || !value->isString()) return std::nullopt;
    return *value->string();
}

std::vector<std::string> texts(const Dictionary& arguments, const char* key) {
    std::vector<std::string> list;
    const Value* value = arguments.get(key);
    if (!value || !value->isArray()) return list;
    for (const Value& item : *value->array()) list.push_back(item.toString());
    return list;
}

std::vector<std::string> buttons(const Dictionary& arguments, std::vector<std::string> fallback) {
    std::vector<std::string> given = texts(arguments, "buttons");
    if (given.empty()) return fallback;
    if (given.size() > 3) given.resize(3);
    return given;
}

}  // namespace

Alert alert(const Dictionary& arguments) {
    return {text(arguments, "title").value_or("Click a button to choose an option."),
            text(arguments, "message").value_or(""), buttons(arguments, {"OK"})};
}

std::string alertAnswer(const Alert& alert, int response) {
    const int index = response - 1000;
    if (index < 0 || index >= static_cast<int>(alert.buttons.size())) return "";
    return alert.buttons[static_cast<std::size_t>(index)];
}

Input input(const Dictionary& arguments) {
    return {text(arguments, "title").value_or(""), text(arguments, "prompt").value_or("Enter some text"),
            text(arguments, "initialText").value_or(""), buttons(arguments, {"OK", "Cancel"})};
}

List list(const Dictionary& arguments) {
    List result;
    result.title = text(arguments, "title").value_or("");
    result.prompt = text(arguments, "prompt").value_or("Select from this list");
    result.buttons = buttons(arguments, {"OK", "Cancel"});
    const Value* multiple = arguments.get("multiple");
    result.multiple = multiple && multiple->toBool(false);
    std::vector<std::string> items = texts(arguments, "listItems");
    if (!arguments.get("listItems")) items = {"List Item 1"};
    setListItems(result, items);
    return result;
}

void setListItems(List& list, const std::vector<std::string>& items) {
    list.items.clear();
    list.initialRows.clear();
    for (const std::string& item : items) {
        const bool marked = !item.empty() && item.front() == ';';
        if (marked && (list.multiple || list.initialRows.empty()))
            list.initialRows.push_back(static_cast<int>(list.items.size()));
        list.items.push_back(marked ? item.substr(1) : item);
    }
    if (list.initialRows.empty() && !list.items.empty()) list.initialRows.push_back(0);
}

FileStart openStart(const Dictionary& arguments) {
    FileStart start;
    const auto path = text(arguments, "start");
    if (!path || path->empty()) return start;
    std::error_code error;
    const fs::path given(*path);
    if (fs::is_directory(given, error))
        start.folder = given;
    else if (fs::exists(given, error))
        start.folder = given.parent_path();
    return start;
}

FileStart saveStart(const Dictionary& arguments) {
    FileStart start;
    const auto path = text(arguments, "start");
    if (!path || path->empty()) return start;
    std::error_code error;
    fs::path given(*path);
    if (fs::is_directory(given, error)) {
        start.folder = given;
        return start;
    }
    if (given.has_filename() == false) given = given.parent_path();
    start.name = given.filename().string();
    if (fs::exists(given, error) || fs::is_directory(given.parent_path(), error)) start.folder = given.parent_path();
    return start;
}

std::vector<std::string> extensions(const Dictionary& arguments) { return texts(arguments, "extensions"); }

bool openAllowsMultiple(const Dictionary& arguments) { return arguments.get("multiple") != nullptr; }

}  // namespace kl::ScriptDialogArguments
