#pragma once
// GenRelativesReport: what the relatives reports (Ahnentafel, all
// relatives, family tree) share: the subject, the generation limit and the
// output flags of the options sheet. Their bar spins and shows a running
// count. The reports themselves register a maker under their kind in the
// registry, which the report commands ask; a kind without a maker is not
// offered.
//
// Ownership and thread: as ReportController; the registry is filled on the
// main thread at start-up and read there.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "charts/ReportController.h"

namespace kl {

class INDIRecord;

class GenRelativesReport : public ReportController {
public:
    // Output style bits added to the detail bits of the check boxes.
    static constexpr int64_t kStyleColumn1 = 0x10000;
    static constexpr int64_t kStyleColumn2 = 0x20000;

    using ReportController::ReportController;

    void setFlags(int64_t flags) { flags_ = flags; }
    int64_t flags() const { return flags_; }
    void setMaxGen(int32_t generations) { maxGen_ = generations; }
    int32_t maxGen() const { return maxGen_; }
    // The subject: an individual, or for the family tree report what the
    // tree window hands over.
    void setRecord(std::shared_ptr<void> subject) { record_ = std::move(subject); }
    const std::shared_ptr<void>& record() const { return record_; }

    bool isIndeterminate() override { return true; }
    void finishNumberDone() override {}

    // The flags of a sheet's choices: bit i for each box i that is on, plus
    // the style column's bit.
    static int64_t outputFlags(const bool (&boxes)[8], int styleColumn);

protected:
    // The person the subject stands for: an individual, or a family's
    // husband, else its wife; nullptr for anything else.
    std::shared_ptr<INDIRecord> subjectPerson() const;

    int64_t flags_ = 0;
    int32_t maxGen_ = 10;
    int32_t maxGenFound_ = 0;
    int32_t currentGeneration_ = 0;
    std::shared_ptr<void> record_;
};

// The headings of the detail columns of the relatives reports' tables, in
// bit order (children, bit 32, has none).
std::string relativesDetailHeadings(int64_t flags);

// Makers of the relatives reports by kind ("Ahnentafel", "AllRelatives",
// "FamilyTree").
class RelativesReportRegistry {
public:
    using Maker = std::function<std::shared_ptr<GenRelativesReport>(GEDCOMDocument&, ReportHost&)>;
    static constexpr const char* kAhnentafel = "Ahnentafel";
    static constexpr const char* kAllRelatives = "AllRelatives";
    static constexpr const char* kFamilyTree = "FamilyTree";

    static void registerMaker(const std::string& kind, Maker maker);
    // An empty maker when none is registered.
    static Maker maker(const std::string& kind);
};

}  // namespace kl
