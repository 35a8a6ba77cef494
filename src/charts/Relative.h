#pragma once
// Relative: one relative of a subject, placed by how many generations it
// lies above (ancestNum) and below (descendNum) the family that links it to
// the subject. From those two counts come its relationship name ("Great
// Uncle", "2nd cousin, once removed"), its group heading and its place in a
// sorted list. A descendNum of -1 marks a step-parent.
//
// A plain value: the individual is held by shared_ptr, and its sex is
// copied in when the relative is made, so a worker never reads the record.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kl {

class INDIRecord;

class Relative {
public:
    Relative() = default;
    // Reads the individual's sex; main thread.
    Relative(std::shared_ptr<INDIRecord> info, int32_t ancest, int32_t descend);
    Relative(std::shared_ptr<INDIRecord> info, char16_t sex, int32_t ancest, int32_t descend);
    static Relative makeRelative(std::shared_ptr<INDIRecord> info, int32_t ancest, int32_t descend) {
        return Relative(std::move(info), ancest, descend);
    }

    void setAncest(int32_t ancest, int32_t descend);
    // Takes the counts only when they are closer (a smaller generation)
    // than the ones held; answers whether it did.
    bool chooseAncest(int32_t ancest, int32_t descend);

    // The relationship type: 0 the subject, 1 a descendant, 2 an ancestor or
    // step-parent, 3 a sibling, 4 a nephew or niece line, 5 an aunt or
    // uncle line, 7 and up a cousin (cousin + 6). `n` receives the number
    // the name is built from (the removal for a cousin).
    int32_t relType(int32_t& n) const;
    std::string relationship() const;
    // The heading that opens a new group in a sorted list, or nullopt when
    // the relative belongs to the group of the one before. Callers start
    // with lastType -1.
    std::optional<std::string> pluralType(int32_t& lastType, int32_t& lastCode) const;
    // -1, 0 or 1: closest relationships first, cousins placed by degree.
    int compare(const Relative& other) const;
    // By display name, case-insensitive.
    int compareNames(const Relative& other) const;
    std::string description() const;

    int32_t ancestNum() const { return ancestNum_; }
    int32_t descendNum() const { return descendNum_; }
    int32_t generation() const { return generation_; }
    int32_t cousin() const { return cousin_; }
    // The absolute difference of the two counts.
    int32_t removal() const;
    const std::shared_ptr<INDIRecord>& info() const { return info_; }
    void setInfo(std::shared_ptr<INDIRecord> info);
    char16_t sex() const { return sex_; }

    // "1st cousin", "12th cousin", "21st cousin": the ordinal of a degree.
    static std::string cousinOrdinal(int32_t degree, bool plural);

private:
    void setCodes();

    int32_t ancestNum_ = 0;
    int32_t descendNum_ = 0;
    int32_t generation_ = 0;
    int32_t cousin_ = -1;
    std::shared_ptr<INDIRecord> info_;
    char16_t sex_ = u'U';
};

}  // namespace kl
