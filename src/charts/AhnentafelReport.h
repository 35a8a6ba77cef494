#pragma once
// AhnentafelReport: the ancestors of one individual with pedigree numbers
// (the subject 1, the father of n 2n, the mother 2n + 1), as generation
// sections of list items or as one table sorted by name. An ancestor met
// along several lines is described once; the other entries point back to
// it in red.
//
// Billions holds those numbers: they double with every generation, so they
// outgrow any machine word after a few dozen generations.
//
// Ownership and thread: as ReportController. The entries are the report's
// own, so nothing is left in the records after a run.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "charts/GenRelativesReport.h"

namespace kl {

class INDIRecord;

// An unbounded non-negative integer in limbs of nine decimal digits, least
// significant first, with the individual it numbers and its
// cross-reference (+k on a first appearance met again, -k on the repeats).
class Billions {
public:
    static constexpr uint32_t kLimb = 1'000'000'000;

    explicit Billions(uint32_t value = 0) : digits_{value % kLimb} {
        if (value >= kLimb) digits_.push_back(value / kLimb);
    }

    void increment();
    // Doubles in place.
    void addSelf();
    Billions addOne() const;
    Billions multiplyByTwo() const;
    // 1, 0 or -1 as this number is larger, equal or smaller.
    int compare(const Billions& other) const;
    // Decimal text without separators.
    std::string stringValue() const;

    const std::vector<uint32_t>& digits() const { return digits_; }
    const std::shared_ptr<INDIRecord>& info() const { return info_; }
    void setInfo(std::shared_ptr<INDIRecord> individual) { info_ = std::move(individual); }
    int32_t crossRefNumber() const { return crossRefNumber_; }
    void setCrossRefNumber(int32_t number) { crossRefNumber_ = number; }

private:
    // A new most significant limb; false (logged, number unchanged) when
    // memory cannot be had.
    bool addDigit(uint32_t value);

    std::vector<uint32_t> digits_;
    std::shared_ptr<INDIRecord> info_;
    int32_t crossRefNumber_ = 0;
};

class AhnentafelReport : public GenRelativesReport {
public:
    using GenRelativesReport::GenRelativesReport;

    // Registers the maker under RelativesReportRegistry::kAhnentafel.
    static void registerReport();

    bool reportPreparation() override;
    void compileReport() override;
    std::string progressTitle() override { return "Compiling Ahnentafel Report"; }
    std::string progressMessage() override { return "Ancestors Found"; }

    // The section title and generation-bar label of generation g.
    static std::string generationTitle(int g);
    static std::string generationLabel(int g);

private:
    void addAncestor(const std::shared_ptr<INDIRecord>& individual, Billions number);
    void writeTable();
    void writeLists();
    std::string generationBar() const;

    std::shared_ptr<INDIRecord> subject_;
    std::vector<Billions> entries_;
    // Each individual's first entry, by position in entries_.
    std::unordered_map<const INDIRecord*, std::size_t> firstEntry_;
    int32_t crossRefNumber_ = 0;
};


}  // namespace kl
