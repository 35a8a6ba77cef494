#pragma once
// ScriptEditingDocument: the script editing workspace, the one document in
// which Kinlore Editor edits loose script files (".py", ".klscpt"). Each
// open script is an item of the list "Scripts" that keeps its own file:
// saving writes that one file, and the set of open scripts with each one's
// selection is remembered between launches. Its window is a format
// document's window; the commands that differ live in ScriptWorkspace.
//
// Ownership: owns its lists like every editor document. Main thread only.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/FormatDocument.h"

namespace kl {

class ScriptEditingDocument : public FormatDocument {
public:
    using TemplatePtr = std::shared_ptr<Template>;
    static constexpr const char* workspaceType = "WEXScriptWorkspace";
    // The user default holding the open scripts, one dictionary each.
    static constexpr const char* workspaceKey = "Script editing workspace";

    ScriptEditingDocument();

    bool isScriptEditor() const override { return true; }
    ItemList& scripts() const { return *rootLevel().front(); }

    // The open item of that file (*added false), else a new item read from
    // it as UTF-8, appended to "Scripts" and marked saved (*added true).
    // nullptr with *error set when the file cannot be read as UTF-8 text.
    TemplatePtr openScriptAtPath(const std::filesystem::path& path, bool* added, std::string* error = nullptr);
    // A script made at a path chosen for a new one: an open script of that
    // path gets the default content for its name again (*added false);
    // otherwise a new item with that content is appended (*added true).
    // It still has to be written.
    TemplatePtr createScript(const std::filesystem::path& path, bool* added);
    // Writes the item's text to the path as UTF-8, atomically; then the item
    // has that path and is saved (its window gives it the file's name). The
    // failure text, else nullopt; a failed item stays unsaved.
    std::optional<std::string> saveScriptToFile(const TemplatePtr& item, const std::filesystem::path& path);
    // Writes every unsaved script to its path in list order, leaving them
    // marked unsaved; stops at the first failure, answering the script's
    // name and the failure text.
    std::optional<std::pair<std::string, std::string>> writeUnsavedScripts() const;
    // Any name; re-sorts the item. False when the name is the item's own.
    bool renameScript(const TemplatePtr& item, const std::string& name);
    bool allScriptsSaved() const { return scripts().allScriptsSaved(); }

    // The remembered form of the open scripts, and the reopening of it:
    // entries without a path or whose file cannot be read are skipped
    // silently; the others get their selections. Answers what was added.
    Array scriptWorkSpace() const { return scripts().scriptWorkSpace(); }
    std::vector<TemplatePtr> loadScriptWorkSpace(const Array& remembered);
};

}  // namespace kl
