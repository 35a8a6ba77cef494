#pragma once
// What the relatives benchmarks share: the generated tree read into a
// document once, and its person with most descendants.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <unordered_map>

#include "BenchCorpus.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace bench {

inline kl::GEDCOMDocument& generatedDocument() {
    static kl::GEDCOMDocument* doc = [] {
        auto* made = new kl::GEDCOMDocument;
        made->undo().disableUndoRegistration();
        made->gedcomModel().setInputGed(treeText());
        made->gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        made->undo().enableUndoRegistration();
        return made;
    }();
    return *doc;
}

// Counted as if no one were reached twice, which is enough to pick.
inline std::shared_ptr<kl::INDIRecord> mostDescendants(kl::GEDCOMModel& model) {
    std::unordered_map<const kl::INDIRecord*, long> counts;
    std::function<long(const kl::INDIRecord&)> count = [&](const kl::INDIRecord& person) -> long {
        auto [at, added] = counts.try_emplace(&person, 0);
        if (!added) return at->second;
        long total = 0;
        for (const auto& family : person.spouseFamsRecs())
            for (const auto& child : family->children()) total += 1 + count(*child);
        counts[&person] = total;
        return total;
    };
    std::shared_ptr<kl::INDIRecord> best;
    long most = -1;
    for (const auto& record : model.recordsOfType("INDI"))
        if (auto person = std::dynamic_pointer_cast<kl::INDIRecord>(record))
            if (const long n = count(*person); n > most) {
                most = n;
                best = person;
            }
    return best;
}

// The person with most descendants of the generated tree; the benchmark is
// skipped when the tree is missing.
inline std::shared_ptr<kl::INDIRecord> mostDescendantsOrSkip(benchmark::State& state) {
    auto person = mostDescendants(generatedDocument().gedcomModel());
    if (!person) state.SkipWithError("generated tree missing");
    return person;
}

}  // namespace bench
