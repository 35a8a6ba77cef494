#pragma once
// OBJERecord: a multimedia object (`OBJE`): one file on disk, a web address
// or a style sheet, with its format, media type, title, date, location,
// keywords and notes. Individuals, families and sources cite it with level-1
// OBJE links; it may cite notes and sources.
//
// Its FILE holds a path relative to one of the document's multimedia root
// folders, a "~"-abbreviated absolute path, or a web address. The class
// operations resolve and store such paths against a root list and the
// document's file; the records reach the roots through their store and
// follow the store's root-folder notifications.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread). The path
// class operations touch the file system on the calling thread (the reading
// worker when records are tidied after a read).
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/NotificationCenter.h"
#include "model/GEDCOMRecord.h"

namespace kl {

class OBJERecord : public GEDCOMRecord {
public:
    // The media words of FILE > FORM > MEDI, numbered from 1; 0 for none.
    enum MediaType : int {
        MediaNone = 0, MediaPhoto, MediaVideo, MediaAudio, MediaCard, MediaBook, MediaElectronic, MediaFiche,
        MediaFilm, MediaMagazine, MediaManuscript, MediaNewspaper, MediaMap, MediaTombstone, MediaOther,
    };

    static constexpr const char* kLinkTag = "OBJE";
    static constexpr const char* kStyleSheetFormat = "css";
    static constexpr const char* kWebFormat = "url";
    static constexpr const char* kUnknownFormat = "?";

    explicit OBJERecord(std::string recordID, std::string type = "OBJE");
    ~OBJERecord() override;

    // The tag under which the object's file is written ("FILE"); writable
    // so that a reader can be told of another spelling.
    static std::string& OBJEFileTag();

    // ---- names
    std::string viewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    // Sets the title (FILE > TITL), making FILE and TITL when missing.
    void setViewName(const std::string& name) override;
    std::string ipnName() const override;
    std::string textForNewRecord(bool choice) override;
    void insertNewUserText(const std::string& text) override;

    // ---- links, merging and deletion
    bool canLinkTo(std::string_view type) const override;
    bool isCiteableType() const override { return true; }
    // Two objects merge when their level-1 FILE texts (empty when missing)
    // are equal ignoring case.
    bool canMergeWith(const GEDCOMRecord& other) override;
    std::string mergeRequirement() const override;
    void removeAllLinks() override;
    void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) override;
    DropAnswer dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    DropAnswer dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    bool isConnected() override { return hasCrossRefs(); }
    bool isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID) override;
    bool shouldVerifyDeleteAsChildOf(const GEDCOMRecord& record) const override;

    // ---- data
    std::optional<std::string> firstPlace() const override;
    // Every level-1 _KEY, split at ";", trimmed, empties dropped.
    std::vector<std::string> keywords() const override;
    // Rewrites the _KEY lines, undoably; a line closes once it passes 80
    // characters; the record is stamped only when something changed.
    void setKeywords(const Array& keywords) override;

    // ---- accessors
    // The level-1 FILE text ("" without one); `isURL` tells a web address.
    std::string mmFileName(bool* isURL = nullptr) const;
    // FILE > FORM in lower case; "" without FILE.
    std::string mmFormat() const;
    int mmFormType() const;
    std::shared_ptr<GEDCOMStructure> titleStructure() const;
    std::string mmObjectDate() const;
    void setMmObjectDate(const std::string& date);
    std::string mmObjectDateUser() const;
    std::int64_t mmObjectSDN() const;
    std::int64_t mmObjectSDNMax() const;
    std::string mmObjectPlace() const;
    void setMmObjectPlace(const std::string& place);
    std::string mmObjectForm() const { return mmFormat(); }
    void setMmObjectForm(const std::string& form);
    // Replace the text of the first FILE: the first without undo, the
    // second undoably and stamping the record; nothing without FILE.
    void setFileFullPath(const std::string& path);
    void setFileLink(const std::string& path);

    // ---- report text and script keys
    Value reportDescription(std::uint32_t options) const override;
    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;
    // "objectDate", "objectPath", ...; nullopt for keys the base answers.
    std::optional<std::string> objeAttribute(const std::string& key) const;
    // True when the key is one of the object's settable keys (then set);
    // false for a read-only key; nullopt for keys the base answers.
    std::optional<bool> setObjeAttribute(const std::string& key, const std::string& value);
    // The IDs of the records that cite the object ("referencedBy").
    Array referencedBy() const;

    // ---- paths (OBJERecord+Paths.cpp)
    struct Resolved {
        std::string stored;               // the form to store
        std::optional<std::string> root;  // the root it lies in; none for an absolute path
        // The full path: the root followed by the stored form, standardised.
        std::string fullPath() const;
    };
    using Roots = std::vector<std::string>;
    using DocumentFile = std::optional<std::filesystem::path>;
    // Where a stored or full path lies: in the first root that holds it,
    // else in the document's folder, else (existing absolute paths only)
    // as itself; nullopt when the file is found nowhere.
    static std::optional<Resolved> multimediaFile(const std::string& path, const Roots& roots,
                                                  const DocumentFile& documentFile);
    // The full path of a stored form, nullopt when not found.
    static std::optional<std::string> multimediaFilePath(const std::string& stored, const Roots& roots,
                                                         const DocumentFile& documentFile);
    static std::optional<std::string> mmFile(const std::vector<std::string>& fileComponents,
                                             const std::vector<std::string>& rootComponents);
    // The "~"-abbreviated folder of the document's file; nullopt without one.
    static std::optional<std::string> defaultMMLibrary(const DocumentFile& documentFile);
    static bool inRealMMLibrary(const std::string& root, const Roots& roots, const DocumentFile& documentFile);
    static std::string standardizedPath(std::string_view path);
    // "/" first for an absolute path and last for a trailing "/", the
    // names between; empty names are skipped.
    static std::vector<std::string> pathComponents(std::string_view path);
    static std::string getMmFileFormat(const std::string& path, const std::optional<std::string>& root);
    static std::string exportMultimediaFile(const std::string& fullPath, const std::string& exportFile);
    // The path itself when free, else "<path without extension> <n>.<ext>"
    // for the first n from 1 that names nothing.
    static std::string uniqueFileName(const std::string& path);

    // ---- the object's file (OBJERecord+Files.cpp)
    struct ImageState {
        bool found = true;
        bool isURL = false;
        bool gotThumb = false;
        bool canRead = false;
        bool isImage = false;                  // an image could be made of the file
        std::optional<std::string> thumbnail;  // JPEG bytes of the cached thumbnail
        std::optional<std::string> fullPath;
    };
    ImageState getMMImageInFile(bool allowThumb) const;
    // What stands for the object: its thumbnail, its image file, or an icon
    // name ("URLIcon", "FileNotFoundIcon", or "<format>Icon" for a file that
    // is no image); the full path is filled for a found file.
    struct Portrait {
        std::optional<std::string> thumbnail;
        std::optional<std::string> imagePath;
        std::optional<std::string> iconName;
        bool canRead = false;
    };
    // A multimedia object's picture is its own: the image column of the
    // multimedia list shows each object's image.
    std::shared_ptr<GEDCOMRecord> portraitImage() const override;
    Portrait portraitImage(std::string* fullPath) const;
    std::optional<std::string> mmFileFullPathOrURL(bool* isURL = nullptr) const;
    std::string readFullPath() const;
    // Copies the file to a path where nothing exists yet; nullopt on
    // success, else the error ("copyFailed"/"cannotCopy" for a script).
    std::optional<std::string> cpMmFileToPath(const std::string& destination, bool isCall) const;
    // The scripting command: "destPath" of the arguments; the error text.
    std::optional<std::string> scriptCopyFileToPath(const Dictionary& arguments) const;
    // Copies the file into a folder under its own name, or under the first
    // free "<name> <n>.<ext>" when that is taken; the new path, or nullopt
    // with `error` set.
    std::optional<std::string> copyMmFileIntoFolder(const std::string& folder, std::string* error) const;
    // Replaces the file; a nullopt title, format or type keeps the old one.
    void attachMultimedia(const std::string& path, const std::optional<std::string>& title,
                          const std::optional<std::string>& format, const std::optional<std::string>& type);
    // Fills the object from a dropped image's dictionary; true on a change.
    bool addImageProperties(const Dictionary& info);
    // The image file's "iptcKeywords" and "GPSinPhoto"; nullopt for none.
    static std::optional<Dictionary> getFileProperties(const std::string& path);
    // A dropped-image dictionary for a file path, or a web link with title.
    static Dictionary droppedImageInfo(const std::string& address, const std::optional<std::string>& title);

    // ---- after a read, and in exported GEDCOM (OBJERecord+Import.cpp)
    // Brings the file lines of another program's record into the one shape
    // (FILE lines with their own FORM and TITL, paths as stored here, one
    // FILE per record, the extra files made records of their own).
    void simplifyMultimediaLinks(int mode);
    // Moves an embedded `_NSDATA` thumbnail into the document's thumbnails.
    void unembedThumbnail();
    // The record written as an embedded OBJE structure at `level`; export
    // flag 2 writes FORM below FILE with MEDI, otherwise FORM below OBJE.
    std::string embeddedGedcomString(int level, std::uint32_t flags) const;
    // Whether a FILE text is a web address whatever its format says.
    static bool hasURLScheme(std::string_view path);
    // A FILE path written by another program (a Windows path, a classic
    // colon-separated one, an absolute path of another disk) as it is
    // stored here, resolved against the roots and the document's folder.
    static std::string importedPath(const std::string& path, const Roots& roots, const DocumentFile& documentFile);

    // ---- root folders (OBJERecord+Files.cpp)
    void removeRootFolder(const std::string& folder);
    void changedRootFolder();
    void registerRecordNotifications() override;

    // Structure changes that touch FILE drop the cached thumbnail first.
    using GEDCOMRecord::addStructure;
    void addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                      const GEDCOMObject* afterStructure, bool scroll) override;
    void addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                      const GEDCOMObject* afterStructure) override;
    void removeStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                         std::shared_ptr<Object> fromBrowser) override;

protected:
    const DropTable& dropTable() const override;

private:
    // A further FILE of one record becomes (or joins) a record of its own,
    // cited by every record that cites this one.
    void moveFileToOwnRecord(const std::shared_ptr<GEDCOMStructure>& file);
    std::shared_ptr<GEDCOMStructure> fileStructure() const;
    std::shared_ptr<GEDCOMStructure> line(int level, std::string tag, std::string contents);
    std::optional<Resolved> resolveStored() const;
    void dropThumbnail() const;
    Value reportLines(const ImageState& image, const std::string& name, const std::string& date,
                      const std::string& place, std::uint32_t options) const;
    std::string reportProse(const ImageState& image, const std::string& name, const std::string& date,
                            const std::string& place, std::uint32_t options) const;

    Observation rootWillBeRemoved_;
    Observation rootsChanged_;
};

}  // namespace kl
