#pragma once
// PlaceIndex: the store's index of place records by their full place name,
// with the names kept in case-insensitive order for pickers. It answers the
// first place record of a name, a name not yet in use, and the place records
// that no individual or family event cites.
//
// Ownership: owned by its GEDCOMModel (plain back pointer); holds its place
// records through shared_ptr, like the lists.
// Thread: as the store (the reading worker fills it while a file is read).
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;

class PlaceIndex {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    using Places = std::map<std::string, std::vector<RecordPtr>>;

    explicit PlaceIndex(GEDCOMModel* model = nullptr) : model_(model) {}

    // Empty names are never indexed.
    void addPlace(const std::string& name, const RecordPtr& record);
    void deletePlace(const RecordPtr& record, const std::string& name);
    RecordPtr placeForName(const std::string& name) const;
    // The base followed by 1, 2, 3 ... : the first that is not yet a name.
    std::string uniquePlaceName(const std::string& base) const;
    // Names with their records that no level-2 PLAC of an INDI or FAM cites.
    Places findDetachedPlaces() const;
    std::size_t numberOfPlaces() const { return placeNames_.size(); }
    // Names in case-insensitive order.
    const std::vector<std::string>& order() const { return order_; }

private:
    std::size_t insertLocationForPlace(const std::string& name) const;

    Places placeNames_;
    std::vector<std::string> order_;
    GEDCOMModel* model_ = nullptr;
};

}  // namespace kl
