// Tiling tree charts: a fully opened ancestors chart ten generations deep
// (2,047 boxes), and a descendants chart of about 10,000 boxes of the
// generated tree.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "RelativesBench.h"
#include "charts/RelativesTree.h"
#include "charts/TreeChartLayout.h"
#include "document/IndexStyle.h"

namespace {

// Person 1 and every ancestor up to ten generations back: person n's
// parents are 2n and 2n + 1, in family n.
std::string fullAncestry(int generations) {
    const int people = (1 << (generations + 1)) - 1;
    std::string text = "0 HEAD\n1 CHAR UTF-8\n";
    for (int n = 1; n <= people; ++n) {
        text += "0 @I" + std::to_string(n) + "@ INDI\n1 NAME Person" + std::to_string(n) + " /Line/\n1 SEX " +
                (n % 2 == 0 ? "M" : "F") + "\n";
        if (n > 1) text += "1 FAMS @F" + std::to_string(n / 2) + "@\n";
        if (2 * n <= people) text += "1 FAMC @F" + std::to_string(n) + "@\n";
    }
    for (int n = 1; 2 * n <= people; ++n)
        text += "0 @F" + std::to_string(n) + "@ FAM\n1 HUSB @I" + std::to_string(2 * n) + "@\n1 WIFE @I" +
                std::to_string(2 * n + 1) + "@\n1 CHIL @I" + std::to_string(n) + "@\n";
    return text + "0 TRLR\n";
}

void BM_TileAncestorsTenGenerations(benchmark::State& state) {
    kl::GEDCOMDocument doc;
    doc.undo().disableUndoRegistration();
    doc.gedcomModel().setInputGed(fullAncestry(10));
    doc.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
    kl::TreeItem::setMaxGenerations(100);
    kl::RelativesTree tree(kl::RelativesTree::Kind::Ancestors, doc.gedcomModel(),
                           kl::IndexStyle::defaultStyleForType("Ancest"));
    tree.setRootItemRecord(std::dynamic_pointer_cast<kl::INDIRecord>(doc.gedcomModel().recordWithID("@I1@")));
    kl::TreeChartLayout chart(tree, kl::TreeChartSettings{}, kl::ChartOrientation::forTag(4602, true));
    chart.showInitial(11);
    for (auto _ : state) chart.tileTree();
    state.counters["boxes"] = static_cast<double>(chart.shownNodes().size());
}
BENCHMARK(BM_TileAncestorsTenGenerations)->Unit(benchmark::kMillisecond);

void BM_TileDescendantsTenThousandBoxes(benchmark::State& state) {
    auto& doc = bench::generatedDocument();
    auto person = bench::mostDescendantsOrSkip(state);
    if (!person) return;
    kl::TreeItem::setMaxGenerations(100000);
    kl::RelativesTree tree(kl::RelativesTree::Kind::Descendants, doc.gedcomModel(),
                           kl::IndexStyle::defaultStyleForType("Descend"));
    tree.setRootItemRecord(person);
    tree.rootItem()->recursiveExpand(nullptr);
    kl::TreeChartLayout chart(tree, kl::TreeChartSettings{}, kl::ChartOrientation::forTag(4602, true));
    // Generations opened until the chart holds 10,000 boxes or more.
    for (int generations = 1; generations < 1000 && chart.shownNodes().size() < 10000; ++generations)
        chart.showInitial(generations);
    for (auto _ : state) chart.tileTree();
    state.counters["boxes"] = static_cast<double>(chart.shownNodes().size());
}
BENCHMARK(BM_TileDescendantsTenThousandBoxes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
