#pragma once
// Template: one item of a Kinlore Editor document, which is one file of a
// format or extension package: a template or script text, a documentation
// text, a property list, the editing colours, fonts or variables, or an
// image. Its type code says how it is shown, named and written.
//
// Ownership: items are held by their lists through std::shared_ptr; a search
// list and the undo history share the same objects. Main thread only.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

#include "foundation/Value.h"

namespace kl {

class ImagePort;

// The type codes of items and item lists.
enum ItemType : std::int32_t {
    RecordEditingType = 0,
    TagEditingType = 1,      // tag templates of a format, text files of an extension
    SubroutinesType = 2,     // subroutine files of a format, scripts of an extension
    DocumentationType = 3,
    WorkspaceScriptType = 4,
    EditingColorsType = 6,
    EditingFontsType = 7,
    EditingPropertiesType = 8,
    PropertyListType = 9,
    ImageType = 11,
    SearchResultsType = 12,
};

struct TextRange {
    std::size_t location = 0;
    std::size_t length = 0;
    bool operator==(const TextRange&) const = default;
};

class Template {
public:
    Template(std::string name, Value object, bool plugin);

    // The new name in normal form, or nullopt with *error set.
    std::optional<std::string> validName(const std::string& newName, std::string* error) const;
    std::string nameForTitle() const;
    // The kind of text that selects the syntax colouring: "txt", "py",
    // "klscpt", "applescript", a documentation extension or "".
    std::string templateExtension() const;
    bool canSaveChanges() const { return type_ >= RecordEditingType && type_ <= WorkspaceScriptType; }
    bool canDelete() const;
    bool canPreview() const;
    // Name order, case-sensitive.
    int compare(const Template& other) const { return name_.compare(other.name_); }
    std::string description() const;

    // Writes the item into a folder path ending in "/"; images go through
    // the port. True on success.
    bool writeToFile(const std::string& folder, const ImagePort* images) const;

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    const Value& templateObject() const { return templateObject_; }
    void setTemplateObject(Value object) { templateObject_ = std::move(object); }
    // The content as text; "" when it is none.
    std::string text() const { return templateObject_.isString() ? *templateObject_.string() : std::string(); }
    std::int32_t type() const { return type_; }
    void setType(std::int32_t type) { type_ = type; }
    TextRange selectedRange() const { return selectedRange_; }
    void setSelectedRange(TextRange range) { selectedRange_ = range; }
    const std::string& scriptPath() const { return scriptPath_; }
    void setScriptPath(std::string path) { scriptPath_ = std::move(path); }
    bool scriptSaved() const { return scriptSaved_; }
    void setScriptSaved(bool saved) { scriptSaved_ = saved; }
    bool isPlugin() const { return isPlugin_; }

    // A name that would put a file outside its package: holding "/" or
    // NUL, or being "." or "..". Answers the refusal text, else nullopt.
    static std::optional<std::string> unsafeName(const std::string& name);

private:
    Value templateObject_;
    std::string name_;
    std::int32_t type_ = RecordEditingType;
    TextRange selectedRange_;
    std::string scriptPath_;
    bool scriptSaved_ = true;
    bool isPlugin_ = false;
};

// The extension of a file name ("" when it has none), as written.
std::string pathExtension(const std::string& name);
std::string deletingPathExtension(const std::string& name);
// Whether the name's extension is one of the given lower-case ones,
// without regard to case.
bool hasExtensionAmong(const std::string& name, std::initializer_list<std::string_view> extensions);

}  // namespace kl
