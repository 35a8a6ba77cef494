#pragma once
// ItemList: a named, typed list of items (Template) kept sorted by name;
// one top-level row of a Kinlore Editor document. It makes new items under
// the naming rules, with default contents, and writes its items into a
// package folder.
//
// Ownership: the list owns its items through std::shared_ptr, which the
// search-results list and the undo history share. Main thread only.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/Template.h"
#include "foundation/Value.h"

namespace kl {

class ItemList {
public:
    using TemplatePtr = std::shared_ptr<Template>;

    ItemList() : name_("_Unknown Record Editing") {}
    ItemList(std::string name, std::int32_t type) : name_(std::move(name)), type_(type) {}
    static std::shared_ptr<ItemList> listWithName(std::string name, std::int32_t type) {
        return std::make_shared<ItemList>(std::move(name), type);
    }

    TemplatePtr addTemplate(Value object, std::string name, std::int32_t type);
    TemplatePtr addTemplate(Value object, std::string name) { return addTemplate(std::move(object), std::move(name), type_); }
    void addTemplate(TemplatePtr item) { templates_.push_back(std::move(item)); }

    // A new item under the naming rules, with the given content or the
    // default one; appended and answered. nullptr with *error set when the
    // typed name would put a file outside the package.
    TemplatePtr createTemplate(const std::optional<Value>& object, const std::string& baseName,
                               std::string* error = nullptr);
    // The default content of a new item of this list for a full name.
    Value defaultTemplate(const std::string& fullName) const;
    static std::string promptForType(std::int32_t type, bool plugin);

    bool uniqueName(const std::string& name) const;
    void sortTemplate(const TemplatePtr& item);
    void sortTemplates();
    void deleteTemplate(const TemplatePtr& item);
    // Appends to saveIn every item whose text holds the text; literal and
    // case-sensitive with option, else without regard to case.
    bool searchFor(const std::string& text, bool option, ItemList& saveIn) const;

    TemplatePtr objectAtIndex(std::size_t index) const;
    TemplatePtr objectNamed(const std::string& name) const;
    TemplatePtr templateAtPath(const std::string& path) const;
    TemplatePtr lastTemplate() const { return templates_.empty() ? nullptr : templates_.back(); }
    // The content of an item; nullptr when there is none.
    const Value* templateAtIndex(std::size_t index) const;
    const Value* templateNamed(const std::string& name) const;
    std::string nameAtIndex(std::size_t index) const;
    bool allScriptsSaved() const;
    Array scriptWorkSpace() const;

    std::size_t count() const { return templates_.size(); }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    std::int32_t type() const { return type_; }
    void setType(std::int32_t type) { type_ = type; }
    const std::vector<TemplatePtr>& templates() const { return templates_; }
    void setTemplates(std::vector<TemplatePtr> templates) { templates_ = std::move(templates); }
    void clear() { templates_.clear(); }
    bool isPlugin() const { return isPlugin_; }
    void setIsPlugin(bool plugin) { isPlugin_ = plugin; }

    // Writes the items into a folder path ending in "/"; the "Properties"
    // list also writes "Editing.plist" (format) or "manifest.plist"
    // (extension). True on success.
    bool writeToFile(const std::string& folder, const class ImagePort* images) const;
    // Brings the colour and font archives of an old format to the form of
    // today.
    void updateArchivedDictionaries();

private:
    std::string fullName(const std::string& name) const;
    std::string candidateName(const std::string& name, int n) const;
    bool writeEditingList(const std::string& folder) const;
    bool writeManifest(const std::string& folder) const;

    std::string name_;
    std::vector<TemplatePtr> templates_;
    std::int32_t type_ = RecordEditingType;
    bool isPlugin_ = false;
};

}  // namespace kl
