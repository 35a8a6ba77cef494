// Multimedia records in a real document: they follow the document's root
// folders through its notifications and find files beside its package.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/GEDCOMDocument.h"
#include "model/OBJERecord.h"

namespace kl::test {
namespace {

namespace fs = std::filesystem;

class DocumentMedia : public ::testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("kl-docmedia-" + std::to_string(::getpid()));
    GEDCOMDocument document;

    void SetUp() override {
        fs::remove_all(folder);
        fs::create_directories(folder / "Roots/One/trip");
        fs::create_directories(folder / "Trees");
        std::ofstream(folder / "Roots/One/trip/a.jpg") << "a";
        std::ofstream(folder / "Trees/beside.png") << "b";
        document.setMultimediaRoot({(folder / "Roots/One").string() + "/"});
        document.setMyFileName(folder / "Trees/family.gedpkg");
        document.undo().disableUndoRegistration();
        document.gedcomModel().setInputGed("0 HEAD\n0 @M1@ OBJE\n1 FILE trip/a.jpg\n0 @M2@ OBJE\n1 FILE beside.png\n0 TRLR\n");
        document.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        document.undo().enableUndoRegistration();
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(folder, error);
    }
    std::shared_ptr<OBJERecord> object(const std::string& id) {
        return std::dynamic_pointer_cast<OBJERecord>(document.gedcomModel().recordWithID(id));
    }
};

TEST_F(DocumentMedia, FilesResolveInRootsAndBesideThePackage) {
    ASSERT_TRUE(object("@M1@"));
    EXPECT_EQ(object("@M1@")->readFullPath(), (folder / "Roots/One/trip/a.jpg").string());
    EXPECT_EQ(object("@M2@")->readFullPath(), (folder / "Trees/beside.png").string());
    EXPECT_EQ(document.multimediaFilePath("trip/a.jpg"), (folder / "Roots/One/trip/a.jpg").string());
    EXPECT_EQ(document.multimediaFilePath("nowhere.jpg"), std::nullopt);
}

TEST_F(DocumentMedia, RemovingARootRewritesItsFilesAndUndoesTogether) {
    const std::string root = (folder / "Roots/One").string() + "/";
    document.undo().beginUndoGrouping();
    document.removeMultimediaRootAtIndex(0);
    document.undo().endUndoGrouping();
    EXPECT_EQ(object("@M1@")->mmFileName(), root + "trip/a.jpg");
    EXPECT_EQ(object("@M1@")->readFullPath(), (folder / "Roots/One/trip/a.jpg").string());
    EXPECT_EQ(object("@M2@")->mmFileName(), "beside.png");
    document.undo().undo();
    EXPECT_EQ(document.multimediaRoot(), std::vector<std::string>{root});
    EXPECT_EQ(object("@M1@")->mmFileName(), "trip/a.jpg");
}

TEST_F(DocumentMedia, AddingACloserRootShortensStoredPaths) {
    document.addMultimediaRoot((folder / "Roots/One/trip").string() + "/", 0);
    EXPECT_EQ(object("@M1@")->mmFileName(), "a.jpg");
}

}  // namespace
}  // namespace kl::test
