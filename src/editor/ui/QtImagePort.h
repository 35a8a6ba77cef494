#pragma once
// QtImagePort: the editor core's images as QImage, read in any format the
// Qt image plugins know and written as PNG. Main thread only.
#include <QImage>

#include "editor/ImagePort.h"

namespace kl {

// An image of a format item.
class QtImage : public Object {
public:
    explicit QtImage(QImage image) : image(std::move(image)) {}
    QImage image;
};

class QtImagePort : public ImagePort {
public:
    std::shared_ptr<Object> readImage(const std::filesystem::path& file) const override;
    bool writePNG(const Object& image, const std::filesystem::path& file) const override;
};

}  // namespace kl
