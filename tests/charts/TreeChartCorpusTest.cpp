// A real family file: a fully opened ancestors chart ten generations deep,
// in each orientation, has no two boxes overlapping and no loose line.
#include <gtest/gtest.h>

#include <algorithm>

#include "ChartsTestSupport.h"
#include "charts/TreeChartLayout.h"
#include "model/TextEncoding.h"
#include "support/Corpus.h"

namespace kl::test {
namespace {

bool within(double v, double a, double b) { return v >= std::min(a, b) - 0.01 && v <= std::max(a, b) + 0.01; }

bool touches(const ChartRect& r, double x, double y) {
    return within(x, r.x, r.right()) && within(y, r.y, r.bottom());
}

bool onSegment(const ChartSegment& s, double x, double y) {
    if (s.x1 == s.x2) return std::abs(x - s.x1) < 0.01 && within(y, s.y1, s.y2);
    return std::abs(y - s.y1) < 0.01 && within(x, s.x1, s.x2);
}

TEST(TreeChartCorpus, TenGenerationsOfAncestorsOverlapNowhereAndEveryLineEndsOnABoxOrLine) {
    const auto path = corpusFolder() / "gedcom-parse" / "compat-paf2.ged";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no test data at " << path;
    const std::string bytes = readCorpusBytes(path);
    TreeFixture f(decode(bytes, guessCorpusEncoding(bytes)).text);
    std::shared_ptr<INDIRecord> most;
    int best = -1;
    for (const auto& record : f.doc.gedcomModel().recordsOfType("INDI"))
        if (auto person = std::dynamic_pointer_cast<INDIRecord>(record))
            if (const int n = ancestorsOf(*person, 10); n > best) {
                best = n;
                most = person;
            }
    ASSERT_GT(best, 20);
    auto& tree = f.open(RelativesTree::Kind::Ancestors, most->grecordID());
    TreeChartLayout chart(tree, TreeChartSettings{}, {});
    chart.showInitial(10);

    for (const int tag : {4601, 4602, 4603, 4604}) {
        chart.changeOrientation(tag);
        const auto& boxes = chart.shownNodes();
        // A person met again is shown once more, without parents.
        ASSERT_GT(boxes.size(), 20u) << tag;
        std::vector<ChartRect> frames;
        for (const TreeItem* node : boxes) frames.push_back(node->chartBox().frame);
        std::sort(frames.begin(), frames.end(), [](const ChartRect& a, const ChartRect& b) { return a.x < b.x; });
        for (std::size_t i = 0; i < frames.size(); ++i)
            for (std::size_t j = i + 1; j < frames.size() && frames[j].x < frames[i].right(); ++j)
                ASSERT_FALSE(frames[i].intersects(frames[j]))
                    << tag << ": boxes at " << frames[i].x << "," << frames[i].y << " and " << frames[j].x << ","
                    << frames[j].y;

        const auto lines = chart.connectors();
        ASSERT_FALSE(lines.empty());
        const auto anchored = [&](std::size_t self, double x, double y) {
            for (const TreeItem* node : boxes) {
                const ChartBox& box = node->chartBox();
                if (touches(box.frame, x, y) || (box.hasButton && touches(box.button, x, y))) return true;
            }
            for (std::size_t k = 0; k < lines.size(); ++k)
                if (k != self && onSegment(lines[k], x, y)) return true;
            return false;
        };
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const ChartSegment& s = lines[i];
            EXPECT_TRUE(anchored(i, s.x1, s.y1) && anchored(i, s.x2, s.y2))
                << tag << ": loose line " << s.x1 << "," << s.y1 << " - " << s.x2 << "," << s.y2;
        }
    }
}

}  // namespace
}  // namespace kl::test
