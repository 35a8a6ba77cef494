#include "app/ui/MultimediaImages.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <memory>

namespace kl::MultimediaImages {

namespace {

// A reader over the bytes (kept alive with it) or over the file.
struct Source {
    QByteArray bytes;
    QBuffer buffer;
    std::unique_ptr<QImageReader> reader;
};

std::unique_ptr<Source> open(const std::optional<std::string>& data, const std::optional<std::string>& path) {
    auto source = std::make_unique<Source>();
    if (data) {
        source->bytes = QByteArray(data->data(), static_cast<qsizetype>(data->size()));
        source->buffer.setData(source->bytes);
        source->buffer.open(QIODevice::ReadOnly);
        source->reader = std::make_unique<QImageReader>(&source->buffer);
    } else if (path) {
        source->reader = std::make_unique<QImageReader>(QString::fromStdString(*path));
    } else {
        return nullptr;
    }
    source->reader->setAutoTransform(true);
    return source;
}

}  // namespace

std::optional<QSize> imageSize(const std::optional<std::string>& data, const std::optional<std::string>& path) {
    auto source = open(data, path);
    if (!source) return std::nullopt;
    QSize size = source->reader->size();
    if (!size.isValid() || size.isEmpty()) return std::nullopt;
    // A rotated photograph is shown upright.
    if (source->reader->transformation() & QImageIOHandler::TransformationRotate90) size.transpose();
    return size;
}

QImage readImage(const std::optional<std::string>& data, const std::optional<std::string>& path, QSize atMost) {
    auto source = open(data, path);
    if (!source) return {};
    const QSize full = source->reader->size();
    const bool rotated = source->reader->transformation() & QImageIOHandler::TransformationRotate90;
    if (full.isValid() && !atMost.isEmpty()) {
        QSize fitted = (rotated ? full.transposed() : full).scaled(atMost, Qt::KeepAspectRatio);
        if (rotated) fitted.transpose();
        // Never read larger than the file is.
        if (fitted.width() < full.width()) source->reader->setScaledSize(fitted.expandedTo(QSize(1, 1)));
    }
    return source->reader->read();
}

}  // namespace kl::MultimediaImages
