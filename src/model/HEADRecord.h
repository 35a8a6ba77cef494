#pragma once
// HEADRecord: the header (`HEAD`) of a database: its ID is the word HEAD,
// it keeps no CHAN (a change only drops the cached text) and it cannot be
// deleted. It stamps the software, version, file name, character set and
// GEDCOM version into the file's header, repairs the submitter and
// submission links of an imported file and notes where such a file came
// from, and keeps the home records (`_HME`, at most 11, the first being the
// home record).
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread). The
// reading worker runs verifyLinksWithIndex and checkGEDCOMVersion while it
// has the tree to itself; those change the tree directly, without undo or
// notification.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class HEADRecord : public GEDCOMRecord {
public:
    // The most `_HME` lines a header keeps: as many as the home menu shows.
    static constexpr std::size_t kMaxHomeRecords = 11;
    static constexpr const char* kSoftware = "Kinlore II";
    static constexpr const char* kFirstEditionSoftware = "Kinlore";
    static constexpr const char* kGEDCOMVersion = "5.5.1";
    static constexpr const char* kGEDCOMForm = "LINEAGE-LINKED";
    static constexpr const char* kNoHomeRecord = "-none-";
    // Text-encoding codes that name their own character set.
    static constexpr unsigned kEncodingUTF16 = 10;
    static constexpr unsigned kEncodingWindowsLatin1 = 12;
    static constexpr unsigned kEncodingMacRoman = 30;
    static constexpr unsigned kEncodingANSEL = 0x10000;

    // Who wrote the file, as the application reports it; set once at start.
    struct Software {
        double versionAsNumber = 2.0;           // e.g. 2.013 is 2.0 beta 3
        std::string shortVersion = "Version 2.0";  // may start with "Version"
        std::string company = "Kinlore Project";
        std::string street = "Kinlore Project";
        std::string cityStatePostal = "";
        std::string country = "";
        std::string webSite = "https://kinlore.org";
    };
    static Software software();
    static void setSoftware(Software software);
    // "2.0" for 2.0, "2.1b3" for 2.013.
    static std::string versionText(double versionAsNumber);

    HEADRecord() : GEDCOMRecord("HEAD", "HEAD") {}
    // The store's factory makes records by ID and type; a header is always
    // HEAD whatever it is given.
    HEADRecord(const std::string&, const std::string&) : HEADRecord() {}

    // ---- record operations
    void appendStructureLine(std::string& out) const override;
    void setChangeDate() override { clearGEDCOMCache(); }
    std::optional<std::string> canBeDeleted(unsigned) override { return std::string("you cannot delete the header"); }
    std::string textForNewRecord(bool choice) override;
    void simplifyGEDCOMInMode(int mode) override;
    // Tidied only by the store's pass.
    bool prepareAfterRead() override { return false; }
    std::string viewName() const override { return "Header Record"; }
    bool canLinkTo(std::string_view type) const override;
    // A header holds no keywords.
    std::vector<std::string> keywords() const override { return {}; }
    void setKeywords(const Array&) override {}

    // ---- file facts
    bool foreignGEDCOM() const { return foreignGEDCOM_; }
    // The `CHAR` line for an export encoding (see the table in the source).
    void setCharacters(unsigned encoding);
    // Stamps the software block and, with a path, the `FILE` name.
    void setVersionAndFile(const std::optional<std::filesystem::path>& path);
    void checkGEDCOMVersion();
    // After importing a plain file: drops dangling SUBM/SUBN links, links
    // the store's first submitter/submission when none remains, notes the
    // file's origin. Answers a line for the reading log, or nullopt.
    std::optional<std::string> verifyLinksWithIndex(RecordStore& index);

    std::string mainSubmitter();
    bool setMainSubmitter(const std::string& recordID);
    std::string submission();
    std::string language();
    void setLanguage(const std::string& language);
    std::string placeHierarchy();
    void setPlaceHierarchy(const std::string& hierarchy);

    // ---- home records
    std::string homeRecord();
    std::string homeRecordAtIndex(int index);
    bool setHomeRecord(const std::string& recordID);
    // The titles of the home-records menu: always 11, "-none-" where no
    // record answers.
    std::vector<std::string> homeRecordsMenuTitles();

    // ---- drops
    DropAnswer dropSUBMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) override;
    DropAnswer dropSOURRecord(const std::shared_ptr<GEDCOMRecord>& dropped) override { return dropHome(dropped); }
    DropAnswer dropNOTERecord(const std::shared_ptr<GEDCOMRecord>& dropped) override { return dropHome(dropped); }
    DropAnswer dropOBJERecord(const std::shared_ptr<GEDCOMRecord>& dropped) override { return dropHome(dropped); }
    DropAnswer drop_LOGRecord(const std::shared_ptr<GEDCOMRecord>& dropped) override { return dropHome(dropped); }
    DropAnswer dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped) { return dropHome(dropped); }
    DropAnswer dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) { return dropHome(dropped); }
    DropAnswer dropREPORecord(const std::shared_ptr<GEDCOMRecord>& dropped) { return dropHome(dropped); }

protected:
    const DropTable& dropTable() const override;

private:
    DropAnswer dropHome(const std::shared_ptr<GEDCOMRecord>& dropped);
    void trimHomeRecords(std::size_t keep);
    std::shared_ptr<GEDCOMStructure> line(int level, std::string tag, std::string contents);
    void setLevelOneLine(const std::string& tag, const std::string& contents);
    bool stampSoftware();
    bool repairLink(RecordStore& index, const std::string& tag);
    void noteOrigin();
    std::shared_ptr<GEDCOMStructure> newSoftwareBlock(const std::string& version);
    void appendImportNote(const std::string& note);

    bool foreignGEDCOM_ = false;
};

}  // namespace kl
