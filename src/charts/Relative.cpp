#include "charts/Relative.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/TextCompare.h"
#include "model/INDIRecord.h"

namespace kl {

namespace {

std::string withNumber(const char* format, int32_t n) {
    std::string text(format);
    if (const auto at = text.find("%d"); at != std::string::npos) text.replace(at, 2, std::to_string(n));
    return text;
}

// The four forms of a family of names: n = -1, 0, 1 and any other n.
struct Names {
    const char* minusOne;
    const char* zero;
    const char* one;
    const char* other;
};

std::string pick(const Names& names, int32_t n) {
    switch (n) {
    case -1: return names.minusOne;
    case 0: return names.zero;
    case 1: return names.one;
    default: return withNumber(names.other, n);
    }
}

}  // namespace

Relative::Relative(std::shared_ptr<INDIRecord> info, int32_t ancest, int32_t descend)
    : Relative(info, info ? info->sexChar() : u'U', ancest, descend) {}

Relative::Relative(std::shared_ptr<INDIRecord> info, char16_t sex, int32_t ancest, int32_t descend)
    : info_(std::move(info)), sex_(sex) {
    setAncest(ancest, descend);
}

void Relative::setAncest(int32_t ancest, int32_t descend) {
    ancestNum_ = ancest;
    descendNum_ = descend;
    setCodes();
}

bool Relative::chooseAncest(int32_t ancest, int32_t descend) {
    if (std::max(ancest, descend) >= generation_) return false;
    setAncest(ancest, descend);
    return true;
}

void Relative::setCodes() {
    generation_ = std::max(ancestNum_, descendNum_);
    cousin_ = std::min(ancestNum_, descendNum_) - 1;
}

int32_t Relative::removal() const { return std::abs(ancestNum_ - descendNum_); }

void Relative::setInfo(std::shared_ptr<INDIRecord> info) {
    info_ = std::move(info);
    sex_ = info_ ? info_->sexChar() : u'U';
}

int32_t Relative::relType(int32_t& n) const {
    const int32_t a = ancestNum_, d = descendNum_;
    if (a == 0) {
        n = d - 2;
        return d == 0 ? 0 : 1;
    }
    if (d == 0 || d == -1) {
        n = a - 2;
        return 2;
    }
    if (a == 1) {
        n = d - 2;
        return d == 1 ? 3 : 4;
    }
    if (d == 1) {
        n = a - 2;
        return 5;
    }
    n = removal();
    return cousin_ + 6;
}

std::string Relative::cousinOrdinal(int32_t degree, bool plural) {
    const char* format;
    if (degree >= 11 && degree <= 13)
        format = "%dth";
    else
        switch (degree % 10) {
        case 1: format = "%dst"; break;
        case 2: format = "%dnd"; break;
        case 3: format = "%drd"; break;
        default: format = "%dth"; break;
        }
    return withNumber(format, degree) + (plural ? " Cousins" : " cousin");
}

std::string Relative::relationship() const {
    int32_t n = 0;
    const int32_t type = relType(n);
    const bool male = sex_ == u'M';
    switch (type) {
    case 0: return "Self";
    case 1:
        return male ? pick({"Son", "Grandson", "Great Grandson", "Great(%d) Grandson"}, n)
                    : pick({"Daughter", "Granddaughter", "Great Granddaughter", "Great(%d) Granddaughter"}, n);
    case 2:
        if (descendNum_ == -1)
            return male ? pick({"Step Father", "Step Grandfather", "Step Great Grandfather",
                                "Step Great(%d) Grandfather"},
                               n)
                        : pick({"Step Mother", "Step Grandmother", "Step Great Grandmother",
                                "Step Great(%d) Grandmother"},
                               n);
        return male ? pick({"Father", "Grandfather", "Great Grandfather", "Great(%d) Grandfather"}, n)
                    : pick({"Mother", "Grandmother", "Great Grandmother", "Great(%d) Grandmother"}, n);
    case 3: return male ? "Brother" : "Sister";
    case 4: return male ? pick({"", "Nephew", "Great Nephew", "Great(%d) Nephew"}, n)
                        : pick({"", "Niece", "Great Niece", "Great(%d) Niece"}, n);
    case 5: return male ? pick({"", "Uncle", "Great Uncle", "Great(%d) Uncle"}, n)
                        : pick({"", "Aunt", "Great Aunt", "Great(%d) Aunt"}, n);
    default: break;
    }
    const std::string ordinal = cousinOrdinal(cousin_, false);
    if (n == 0) return ordinal;
    if (n == 1) return ordinal + ", once removed";
    return ordinal + ", " + std::to_string(n) + " times removed";
}

std::optional<std::string> Relative::pluralType(int32_t& lastType, int32_t& lastCode) const {
    int32_t n = 0;
    const int32_t type = relType(n);
    if (type == lastType) {
        if (n == lastCode) return std::nullopt;
        if (type >= 7) {
            lastCode = n;
            return std::nullopt;
        }
    }
    lastType = type;
    lastCode = n;
    switch (type) {
    case 0: return "Individual";
    case 1: return pick({"Children", "Grandchildren", "Great Grandchildren", "Great(%d) Grandchildren"}, n);
    case 2: return pick({"Parents", "Grandparents", "Great Grandparents", "Great(%d) Grandparents"}, n);
    case 3: return "Siblings";
    case 4:
        return pick({"Great(%d) Nephews and Nieces", "Nephews and Nieces", "Great Nephews and Nieces",
                     "Great(%d) Nephews and Nieces"},
                    n);
    case 5:
        return pick({"Great(%d) Aunts and Uncles", "Aunts and Uncles", "Great Aunts Uncles",
                     "Great(%d) Aunts and Uncles"},
                    n);
    default: return cousinOrdinal(cousin_, true);
    }
}

int Relative::compare(const Relative& other) const {
    const bool mine = cousin_ >= 1, theirs = other.cousin_ >= 1;
    if (mine && theirs) {
        if (cousin_ != other.cousin_) return cousin_ < other.cousin_ ? -1 : 1;
        const int32_t r = removal(), o = other.removal();
        return r == o ? 0 : (r < o ? -1 : 1);
    }
    if (mine) return cousin_ + 1 < other.generation_ ? -1 : 1;
    if (theirs) return generation_ > other.cousin_ + 1 ? 1 : -1;
    if (generation_ != other.generation_) return generation_ < other.generation_ ? -1 : 1;
    int32_t n = 0;
    const int32_t t = relType(n), o = other.relType(n);
    return t == o ? 0 : (t < o ? -1 : 1);
}

int Relative::compareNames(const Relative& other) const {
    const std::string mine = info_ ? info_->viewName() : std::string();
    const std::string theirs = other.info_ ? other.info_->viewName() : std::string();
    const int order = compareCaseInsensitive(mine, theirs);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

std::string Relative::description() const {
    return relationship() + ": " + (info_ ? info_->viewName() : std::string());
}

}  // namespace kl
