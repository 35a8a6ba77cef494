#pragma once
// FormatDocument: a Kinlore Editor document of an interface format
// (".kfrmt") or an extension (".kplug"): both packages are read into the
// same item lists and written back in the layout Kinlore II reads. Saving
// writes a complete package beside the old one and swaps it in only when
// all is written.
//
// Ownership: owns its lists (EditorDocument); the image port is a plain
// pointer that outlives the document. Main thread only.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "editor/EditorDocument.h"

namespace kl {

class ImagePort;

class FormatDocument : public EditorDocument {
public:
    static constexpr const char* formatType = "WEXKinloreFormat";
    static constexpr const char* pluginType = "WEXKinlorePlugIn";
    // Below this a format's colour and font archives are converted on
    // reading.
    static constexpr float convertedFormatVersion = 21.5f;

    explicit FormatDocument(const ImagePort* images = nullptr) : images_(images) {}

    // A new untitled document of a type, read from the editor's empty
    // package of that type; false with *error set when that fails.
    bool initWithType(const std::string& type, std::string* error = nullptr);
    // Reads a package of one of the two types; false with the reader's
    // reason in *error (or for any other type).
    bool readFromURL(const std::filesystem::path& path, const std::string& type, std::string* error = nullptr);
    // Read a package folder into rootLevel; raise "KLFileReadError".
    void readFormatAtPath(const std::filesystem::path& path);
    void readPluginAtPath(const std::filesystem::path& path);

    // Saves at a location, given the previous one (nullopt for a document
    // never saved); false with the failure text in *error.
    bool writeToURL(const std::filesystem::path& path, const std::string& type,
                    const std::optional<std::filesystem::path>& originalContents, std::string* error = nullptr);
    // writeToURL, then the document's location and type are the new ones.
    bool saveToURL(const std::filesystem::path& path, std::string* error = nullptr);
    // Write a package into a new folder; nullopt on success, else the
    // failure text.
    std::optional<std::string> writeContentsToPkg(const std::filesystem::path& folder,
                                                  const std::optional<std::filesystem::path>& fromPath) const;
    std::optional<std::string> writeContentsToPlugin(const std::filesystem::path& folder,
                                                     const std::optional<std::filesystem::path>& fromPath) const;
    // Copies from/name to to/newName when the first exists; false only
    // when a copy fails.
    static bool saveVCFiles(const std::string& name, const std::filesystem::path& from,
                            const std::filesystem::path& to, const std::string& newName);
    // Brings the help style sheet up to date from the resource of that
    // name ("helpType" or "helpAS").
    void replaceHelpType(const std::string& resourceName);

    // The list an item of a type code lives in; nullptr when the code does
    // not occur in this kind of document.
    ItemList* listForType(std::int32_t type) const;
    ItemList* listForName(const std::string& name) const;

    virtual bool isScriptEditor() const { return false; }
    bool virtualOption() const { return virtualOption_; }
    void setVirtualOption(bool option) { virtualOption_ = option; }
    const std::string& fileType() const { return fileType_; }
    const std::optional<std::filesystem::path>& fileURL() const { return fileURL_; }
    const ImagePort* imagePort() const { return images_; }
    // Entries of a format's top level that the layout does not read, by
    // name; they are carried into every saved copy.
    const std::vector<std::string>& carriedFormatFiles() const { return carriedFormatFiles_; }

    // The folder of the editor's empty package of a type.
    static std::filesystem::path emptyPackageFolder(const std::string& type);

protected:
    void setFileType(std::string type) { fileType_ = std::move(type); }

private:
    void makeLists(bool plugin);
    void readFormatEntry(const std::filesystem::path& folder, const std::string& name, double& version);
    void readFormatImages(const std::filesystem::path& folder);
    void readPluginEntry(const std::filesystem::path& folder, const std::string& name, Dictionary& otherFiles);
    ItemList& list(std::size_t index) const { return *rootLevel_.at(index); }

    const ImagePort* images_;
    std::string fileType_;
    std::optional<std::filesystem::path> fileURL_;
    std::vector<std::string> carriedFormatFiles_;
    bool virtualOption_ = false;
};

}  // namespace kl
