#pragma once
// MultimediaImages: how the windows read the pictures of multimedia
// records: a stored thumbnail's bytes, or an image file read at the size it
// is shown (a photograph read whole for a small cell would cost its full
// size on every reload). The index window's portrait column and the record
// panes' multimedia cells read through it.
//
// Thread: main thread (QImage may be used on any, but callers are windows).
#include <QImage>
#include <QSize>

#include <optional>
#include <string>

namespace kl::MultimediaImages {

// The image's own size in pixels; nullopt when it cannot be read.
std::optional<QSize> imageSize(const std::optional<std::string>& data, const std::optional<std::string>& path);
// The image fitted into `atMost` keeping its proportions (its own size
// when atMost is empty); a null image when it cannot be read.
QImage readImage(const std::optional<std::string>& data, const std::optional<std::string>& path, QSize atMost);

}  // namespace kl::MultimediaImages
