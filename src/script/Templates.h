#pragma once
// Templates: the current interface format. Loads a format package (a
// folder of ".txt" templates and settings lists), finds the template of a
// record type, pane or tag, compiles it on first use into command arrays
// for the pane builder and keeps the compiled form until the next load. It
// also keeps the stacks of templates and tags being expanded while one
// pane is built, which error messages and template variables read.
//
// A compiled command holds its handler name ("doFont:") at index 0, its
// CommandCode at index 1 and its arguments, as compiled CustomExpression
// objects, from index 2 (see shouldAddCommand()).
//
// Ownership: one object per program, made by the library folder; it owns
// the sources, the compiled templates (shared, immutable, handed to parsers)
// and the stacks. The delegate and the defaults are plain pointers that
// outlive it. Main thread only.
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/UserDefaults.h"
#include "foundation/Value.h"
#include "script/CommandCompiler.h"
#include "script/CommandParcer.h"
#include "script/TemplatesDelegate.h"

namespace kl {

class Templates : public CommandCompiler {
public:
    enum TemplateType { RecordTemplate = 0, TagTemplate = 1 };

    // The format version this program understands; a format that declares
    // a newer one still loads, with a word to the user.
    static constexpr double applicationFormatVersion = 21.5;
    // Deepest expansion of templates inside one another. GEDCOM nests at
    // most 99 levels, so only a template that uses itself (directly or
    // through others) gets near it; it is stopped as a template error
    // instead of exhausting the stack.
    static constexpr std::size_t maxTemplateNesting = 200;
    // The templates always taken from the program's own resources.
    static constexpr const char* reportTemplate = "_RPT Record Editing.txt";
    static constexpr const char* reportBodyTemplate = "_BODY Editing.txt";

    explicit Templates(TemplatesDelegate* library = nullptr, UserDefaults* defaults = nullptr);

    // Loads the format folder (a leading "~" is expanded); raises
    // "KLFileReadError" on failure.
    void readFormatAtPath(const std::string& path);

    // The compiled template of a record type (type 0, optionally of a pane)
    // or tag (type 1), nullptr when the format has none. Pushes the
    // template's name, and the tag when withContents; the caller pops them
    // with removeLastTemplate(). Raises "KLCustomEditError" on compile
    // errors and when templates nest too deeply.
    std::shared_ptr<const CompiledCommands> getTemplate(const std::string& name, int type,
                                                        const std::optional<std::string>& paneID,
                                                        bool withContents, const std::string& originalTag);
    void startStack();
    void removeLastTemplate(bool withContents);
    std::optional<std::string> currentTemplate() const;
    const std::vector<std::string>& templateStack() const { return templateStack_; }
    void setTemplateStack(std::vector<std::string> stack) { templateStack_ = std::move(stack); }
    const std::vector<std::string>& tagStack() const { return tagStack_; }
    void setTagStack(std::vector<std::string> stack) { tagStack_ = std::move(stack); }
    std::string currentTagPath() const;
    std::string parentTag() const;

    std::filesystem::path templateFilePath(const std::string& name) const;
    void changeLanguage(const std::string& language);
    const std::vector<std::string>& languages() const { return languages_; }
    void setLanguages(std::vector<std::string> languages) { languages_ = std::move(languages); }
    const std::string& language() const { return language_; }
    void setLanguage(std::string language) { language_ = std::move(language); }
    // The version a format's "formatVersion.plist" declares (a number or
    // its text); 0 when the list or the number is missing.
    static double readFormatVersion(const std::filesystem::path& versionList);
    // The version the loaded format declares, 0 when it declares none.
    double formatVersion() const { return formatVersion_; }

    // Copies a format package into place, replacing what is there; raises
    // "KLFileReadError" when the copy fails. perms, when given, is set on
    // the copy.
    static void installFormat(const std::filesystem::path& source, const std::filesystem::path& toPath,
                              std::optional<std::filesystem::perms> perms = std::nullopt);

    const Dictionary& templatesByName() const { return templatesByName_; }
    void setTemplatesByName(Dictionary templates);
    const std::string& templateFolder() const { return templateFolder_; }
    void setTemplateFolder(std::string folder) { templateFolder_ = std::move(folder); }
    bool isCompiled(const std::string& fileName) const { return compiledTemplatesByName_.contains(fileName); }

    // The template's file name for a name, type and pane ID; nullopt for
    // an unknown type.
    static std::optional<std::string> templateFileName(const std::string& name, int type,
                                                       const std::optional<std::string>& paneID);
    // Compiles a template source as the format loader would, outside any
    // format (modules from templatesByName()); raises "KLCustomEditError".
    std::shared_ptr<const CompiledCommands> compileTemplate(const std::string& fileName, const std::string& source);

    // Compiles every template of the loaded format that is not compiled
    // yet, modules included; the error text of each that fails, by name.
    // For checking a whole format at once (tests, the format editor).
    std::vector<std::pair<std::string, std::string>> compileAllTemplates();

    // CommandCompiler
    bool shouldAddCommand(Command& command, std::vector<Command>& compiled, CommandParcer& parce) override;
    [[noreturn]] void parceCompileError(const std::string& message, const Command& command) override;

private:
    struct FormatFiles {
        Dictionary templates;
        std::vector<std::string> languages;
        double version = 0;
    };
    static FormatFiles readTemplateFiles(const std::filesystem::path& folder, const std::vector<std::string>& names);
    void loadLanguage(const std::filesystem::path& folder);
    void readResourceTemplates();
    void compileSet(const Command& command, std::vector<Command>& compiled);
    Value compiledExpression(const Value& item, const Command& shown);
    UserDefaults& defaults() const;

    Dictionary templatesByName_;
    std::map<std::string, std::shared_ptr<const CompiledCommands>> compiledTemplatesByName_;
    std::string templateFolder_;
    std::vector<std::string> templateStack_;
    std::vector<std::string> tagStack_;
    std::vector<std::string> languages_;
    std::string language_;
    double formatVersion_ = 0;
    TemplatesDelegate* library_;
    UserDefaults* defaults_;
};

}  // namespace kl
