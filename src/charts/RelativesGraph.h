#pragma once
// RelativesGraph: who is whose spouse, child and parent in a database, taken
// from the records on the main thread. A relatives walk on a worker reads
// only this snapshot, so the main thread may go on editing the records
// meanwhile; the snapshot holds the records, which stay alive for it.
//
// People and families are numbered in the store's order; -1 is "none".
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kl {

class FAMRecord;
class GEDCOMModel;
class GEDCOMRecord;
class INDIRecord;

class RelativesGraph {
public:
    struct Person {
        std::shared_ptr<INDIRecord> record;
        char16_t sex = u'U';
        std::vector<int> families;  // spouse families, in record order
        // Own parents' families, then the father's other families, then
        // the mother's; `own` and `father` count the first two parts.
        std::vector<int> parents;
        std::size_t own = 0;
        std::size_t father = 0;
    };
    struct Family {
        std::shared_ptr<FAMRecord> record;
        std::string id;  // as taken, for messages from a worker
        int husband = -1;
        int wife = -1;
        std::vector<int> children;  // in CHIL order
    };

    // Main thread.
    explicit RelativesGraph(GEDCOMModel& model);

    const std::vector<Person>& people() const { return people_; }
    const std::vector<Family>& families() const { return families_; }
    const Person& person(int index) const { return people_[static_cast<std::size_t>(index)]; }
    const Family& family(int index) const { return families_[static_cast<std::size_t>(index)]; }
    int personIndex(const GEDCOMRecord* record) const;
    int familyIndex(const GEDCOMRecord* record) const;
    // The partner of `lower` through whom a line climbs into `upper`: the
    // husband when `upper` is one of his own parents' families, else the
    // wife likewise; -1 when neither is its child.
    int linkingParent(int lower, int upper) const;
    // Where `family` stands among the person's parents' families: 0 for
    // none or an own family, 1 for a father's other family, 2 for a
    // mother's.
    int stepOf(int person, int family) const;

private:
    std::vector<Person> people_;
    std::vector<Family> families_;
    std::unordered_map<const GEDCOMRecord*, int> personIndex_;
    std::unordered_map<const GEDCOMRecord*, int> familyIndex_;
};

}  // namespace kl
