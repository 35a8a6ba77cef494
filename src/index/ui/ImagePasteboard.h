#pragma once
// ImagePasteboard: image files and web addresses in a drag or on the
// clipboard. Files and addresses come as a URI list (text/uri-list); a
// browser's drag of a link adds its title as text/x-moz-url (address and
// title on two lines, UTF-16). Raw image data is recognised as an image
// drop but gives no items: there is no file to link to.
//
// Thread: main thread.
#include <vector>

#include "foundation/Value.h"

class QMimeData;

namespace kl::ImagePasteboard {

bool containsImagePboard(const QMimeData* data);
// One dictionary per file or address: "ImagePath", and for web addresses
// "Caption" and "isWebURL", with the file's image properties.
std::vector<Dictionary> decodeImagePboard(const QMimeData* data);

}  // namespace kl::ImagePasteboard
