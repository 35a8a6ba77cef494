#include "index/AlbumsMenu.h"

#include "document/RecordsIndices.h"
#include "document/RecordsList.h"

namespace kl {

std::vector<AlbumMenuItem> AlbumsMenu::loadAlbumsMenu(std::vector<AlbumMenuItem> items, std::size_t keep,
                                                      const RecordsIndices& index) {
    if (items.size() > keep) items.resize(keep);
    int tag = kFirstAlbumTag;
    for (const auto& album : index.albums()) items.push_back({album->name(), tag++});
    return items;
}

std::shared_ptr<RecordsList> AlbumsMenu::albumForDocument(const RecordsIndices& index, int tag) {
    if (tag < kFirstAlbumTag) return nullptr;
    const auto albums = index.albums();
    const auto n = static_cast<std::size_t>(tag - kFirstAlbumTag);
    return n < albums.size() ? albums[n] : nullptr;
}

}  // namespace kl
