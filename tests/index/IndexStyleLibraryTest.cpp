// The application's column styles: one shared object per type, album styles
// from their document, reverting to the default, and the styles kept in the
// user defaults between runs.
#include <gtest/gtest.h>

#include "IndexTestSupport.h"
#include "document/IndexStyle.h"

namespace kl {
namespace {

TEST(StyleLibrary, OneStylePerTypeSharedByEveryCaller) {
    test::IndexFixture f;
    auto indi = f.styles.indexStyleForType("INDI", &f.doc);
    EXPECT_EQ(f.styles.indexStyleForType("INDI", nullptr), indi);
    EXPECT_EQ(indi->label(), (std::vector<std::string>{"Record Name"}));
    EXPECT_NE(f.styles.panelStyleForType("INDI"), indi) << "pickers keep styles of their own";
}

TEST(StyleLibrary, AlbumStylesBelongToTheirDocument) {
    test::IndexFixture f;
    auto album = f.styles.indexStyleForType("User Album 7", &f.doc);
    EXPECT_EQ(album, f.doc.albumStyle("User Album 7"));
    EXPECT_EQ(album->label(), (std::vector<std::string>{"Record Type", "Record Name"}));
    EXPECT_EQ(f.styles.indexStyleForType("User Album 7", nullptr)->numberOfColumns(), 2u);
}

TEST(StyleLibrary, ReplacingAndForgettingAStyle) {
    test::IndexFixture f;
    f.styles.replaceIndexPreference(Array{Dictionary{{"Label", "Title"}, {"Expression", "TITL"}}}, "SOUR");
    EXPECT_EQ(f.styles.indexStyleForType("SOUR", &f.doc)->label(), (std::vector<std::string>{"Title"}));
    f.styles.replaceIndexPreference(std::nullopt, "SOUR");
    EXPECT_EQ(f.styles.indexStyleForType("SOUR", &f.doc)->label(), (std::vector<std::string>{"Record Name"}));
}

TEST(StyleLibrary, StylesComeBackInTheNextRun) {
    test::ScratchDefaults scratch;
    {
        IndexStyleLibrary library(*scratch.defaults);
        library.indexStyleForType("FAM", nullptr)->addRemovePortraitCol(0);
        library.panelStyleForType("NOTE")->setWidth(222, 0);
        library.saveStyles();
    }
    IndexStyleLibrary next(*scratch.defaults);
    auto fam = next.indexStyleForType("FAM", nullptr);
    EXPECT_EQ(fam->label(), (std::vector<std::string>{"Portrait", "Record Name"}));
    EXPECT_EQ(fam->portraitColumn(), 0);
    EXPECT_EQ(next.panelStyleForType("NOTE")->widthForColumn(0), 222);
}

}  // namespace
}  // namespace kl
