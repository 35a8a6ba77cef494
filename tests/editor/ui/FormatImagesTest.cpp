// The images of a format, read through the Qt image port: any image
// format in, PNG out; dot-files of the folder passed over; a file that is
// no image refused.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageWriter>

#include "../EditorTestSupport.h"
#include "editor/FormatDocument.h"
#include "editor/ui/QtImagePort.h"

namespace kl {
namespace {

using namespace test;

class FormatImages : public EditorTest {
protected:
    fs::path makeFormat() {
        const fs::path package = scratch("Images.kfrmt");
        writeFile(package / "INDI Record Editing.txt", "");
        writeList(package / "formatVersion.plist", Value(Dictionary{{"KLFormatVersionID", 21.5}}));
        return package;
    }
    void writeImage(const fs::path& file, const char* format) {
        fs::create_directories(file.parent_path());
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(QString::fromStdString(file.string()), format)) << format;
    }
    QtImagePort port_;
};

TEST_F(FormatImages, AreReadInAnyFormatAndWrittenAsPNG) {
    if (!QImageWriter::supportedImageFormats().contains("tiff")) GTEST_SKIP() << "no TIFF image plugin installed";
    const fs::path package = makeFormat();
    writeImage(package / "images/Logo.tiff", "TIFF");
    writeImage(package / "images/Mark.png", "PNG");
    writeFile(package / "images/.DS_Store", "junk");
    writeFile(package / "images/.directory", "[Desktop Entry]");
    writeFile(package / "images/.svn/entries", "svn");
    FormatDocument document(&port_);
    std::string error;
    ASSERT_TRUE(document.readFromURL(package, FormatDocument::formatType, &error)) << error;
    const ItemList& images = *document.listForName("Images");
    ASSERT_EQ(images.count(), 2u);
    EXPECT_EQ(images.nameAtIndex(0), "Logo");
    EXPECT_EQ(images.objectNamed("Logo")->type(), ImageType);

    const fs::path saved = scratch("Saved.kfrmt");
    ASSERT_TRUE(document.writeToURL(saved, FormatDocument::formatType, package, &error)) << error;
    EXPECT_EQ(entryNames(saved / "images"), (std::vector<std::string>{".svn", "Logo.png", "Mark.png"}));
    const QImage logo(QString::fromStdString((saved / "images/Logo.png").string()), "PNG");
    EXPECT_EQ(logo.size(), QSize(4, 3));
    EXPECT_EQ(logo.pixelColor(0, 0), QColor(Qt::darkCyan));
}

TEST_F(FormatImages, AFileThatIsNoImageIsRefused) {
    const fs::path package = makeFormat();
    writeFile(package / "images/notes.txt", "not an image");
    FormatDocument document(&port_);
    std::string error;
    EXPECT_FALSE(document.readFromURL(package, FormatDocument::formatType, &error));
    EXPECT_EQ(error, "Error reading an image in a format file.");
}

}  // namespace
}  // namespace kl
