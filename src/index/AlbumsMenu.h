#pragma once
// AlbumsMenu: the items of every album choice of the program (the index
// window's "Send Selected to Album" menu, the search window's save pop-up,
// a criterion's album pop-up): fixed items on top, then one item per user
// album of the document in album order, tagged 4510 + its index. Tag 4501
// is the choice that makes a new album. Qt menus and pop-ups render the
// list; the tag of the chosen item finds its album again.
//
// Values only. Thread: main thread.
#include <memory>
#include <string>
#include <vector>

namespace kl {

class RecordsIndices;
class RecordsList;

struct AlbumMenuItem {
    std::string title;
    int tag = 0;
    bool operator==(const AlbumMenuItem&) const = default;
};

class AlbumsMenu {
public:
    static constexpr int kNewAlbumTag = 4501;
    static constexpr int kFirstAlbumTag = 4510;

    // The first `keep` items of `items`, then the albums of the index.
    static std::vector<AlbumMenuItem> loadAlbumsMenu(std::vector<AlbumMenuItem> items, std::size_t keep,
                                                     const RecordsIndices& index);
    // The album of a tag 4510 + n; nullptr for any other tag (4501 makes an
    // album, which only a window can do).
    static std::shared_ptr<RecordsList> albumForDocument(const RecordsIndices& index, int tag);
};

}  // namespace kl
