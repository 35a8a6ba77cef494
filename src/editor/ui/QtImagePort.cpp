#include "editor/ui/QtImagePort.h"

#include <QImageReader>

namespace kl {

std::shared_ptr<Object> QtImagePort::readImage(const std::filesystem::path& file) const {
    QImageReader reader(QString::fromStdString(file.string()));
    QImage image = reader.read();
    if (image.isNull()) return nullptr;
    return std::make_shared<QtImage>(std::move(image));
}

bool QtImagePort::writePNG(const Object& image, const std::filesystem::path& file) const {
    const auto* qtImage = dynamic_cast<const QtImage*>(&image);
    return qtImage && qtImage->image.save(QString::fromStdString(file.string()), "PNG");
}

}  // namespace kl
