#pragma once
// ImagePort: how the std-only editor core reads and writes the images of a
// format package. The windowing layer supplies the port (QImage behind it);
// the core keeps the images it reads as opaque objects inside item values.
// Main thread only, like the documents that use it.
#include <filesystem>
#include <memory>

#include "foundation/Value.h"

namespace kl {

class ImagePort {
public:
    virtual ~ImagePort() = default;
    // The image in the file, nullptr when the file holds no image the port
    // can read.
    virtual std::shared_ptr<Object> readImage(const std::filesystem::path& file) const = 0;
    // Writes an image this port read or made as PNG; false on failure.
    virtual bool writePNG(const Object& image, const std::filesystem::path& file) const = 0;
};

}  // namespace kl
