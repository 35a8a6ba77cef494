#pragma once
// PlaceIndex: the store's index of place records by their full place name,
// with the names kept in case-insensitive order for pickers. It answers the
// first place record of a name, a name not yet in use, the events that cite
// a name (an event cites a place by the text of its level-2 PLAC) and the
// place records that no event cites. When an edited place record turns out
// to carry a new name ("RecordMayNeedSortingNotification"), the record is
// filed under it and every event citing the old name is made to cite the
// new one, with undo (an undo brings the citations back by itself).
//
// Ownership: owned by its GEDCOMModel (plain back pointer); holds its place
// records through shared_ptr, like the lists.
// Thread: as the store (the reading worker fills it while a file is read);
// renames arrive on the main thread.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/NotificationCenter.h"

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;
class GEDCOMStructure;

class PlaceIndex {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    using Places = std::map<std::string, std::vector<RecordPtr>>;

    using Citations = std::vector<std::vector<std::shared_ptr<GEDCOMStructure>>>;

    explicit PlaceIndex(GEDCOMModel* model = nullptr);

    // Files the record under the name, which becomes its current name (also
    // an empty one, which is never indexed).
    void addPlace(const std::string& name, const RecordPtr& record);
    void deletePlace(const RecordPtr& record, const std::string& name);
    RecordPtr placeForName(const std::string& name) const;
    // The base followed by 1, 2, 3 ... : the first that is not yet a name.
    std::string uniquePlaceName(const std::string& base) const;
    // Names with their records that no level-2 PLAC of an INDI or FAM cites.
    Places findDetachedPlaces() const;
    std::size_t numberOfPlaces() const { return placeNames_.size(); }

    // The individuals, then the families, with a level-2 PLAC of exactly
    // the name; with `citations`, each one's citing PLACs in the same order.
    std::vector<RecordPtr> findPlace(const std::string& name, Citations* citations = nullptr) const;
    bool findAnyPlace(const std::string& name) const;
    // At least two PLACs cite the name, in one record or several.
    bool findMultiplePlace(const std::string& name) const;
    // Every PLAC citing the old name gets the new one (with undo), and each
    // record changed is stamped.
    void changePlace(const std::string& oldName, const std::string& newName);
    // An edited record of this store: a place record whose name moved on is
    // filed again and its citations follow.
    void updateRecordState(const GEDCOMRecord* record);
    // Names in case-insensitive order.
    const std::vector<std::string>& order() const { return order_; }

private:
    std::size_t insertLocationForPlace(const std::string& name) const;
    // Each level-2 PLAC of an individual or a family (of the name, when
    // given) with its record; stops when `visit` answers false.
    template <typename Visit>
    void eachCitation(const std::string* name, Visit visit) const;

    Places placeNames_;
    std::vector<std::string> order_;
    GEDCOMModel* model_ = nullptr;
    Observation renames_;
};

}  // namespace kl
