// An internal script walking the 100,000 individuals of the generated tree,
// handed in as a list: each pass puts the record's name into a variable and
// its birth date, read through a record path on the store, into another.
// The tree is read once, outside the timing; the script runs on the
// benchmark's thread, as it would on its own.
#include <benchmark/benchmark.h>

#include "BenchCorpus.h"

#include <memory>
#include <string>

#include "document/DocumentScriptHost.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsList.h"
#include "model/GEDCOMRecord.h"
#include "script/ISDictType.h"
#include "script/ISListType.h"
#include "scripting/RunServer.h"

namespace {

using bench::QuietDocument;

class PathHost : public kl::DocumentScriptHost {
public:
    void openRecordBrowser(const kl::Value&) override {}
    void mergeRecordsNow(const std::shared_ptr<kl::GEDCOMRecord>&, const kl::Dictionary&) override {}
    void changeRecordData(const std::shared_ptr<kl::GEDCOMRecord>&, const std::string&, bool) override {}
    kl::ScriptReply applicationCommand(const std::string&, const kl::Dictionary&) override { return {}; }
};

struct Tree {
    QuietDocument document;
    kl::GEDCOMModel model{&document};
    PathHost host;
    std::shared_ptr<kl::Array> people = std::make_shared<kl::Array>();
};

Tree* tree() {
    static Tree* loaded = [] {
        const std::string& text = bench::treeText();
        if (text.empty()) return static_cast<Tree*>(nullptr);
        auto* t = new Tree;  // kept for the whole run
        t->document.undo.disableUndoRegistration();
        t->model.setInputGed(text);
        t->model.setRecordsFromStringVerifyIDs(true, false);
        t->model.setScriptHost(&t->host);
        for (const auto& record : t->model.recordsIndex().listForType("INDI")->order())
            t->people->push_back(kl::Value(record));
        return t;
    }();
    return loaded;
}

void BM_ScriptWalksIndividuals(benchmark::State& state) {
    Tree* t = tree();
    if (!t) {
        state.SkipWithError("generated tree not found");
        return;
    }
    const std::string script =
        "repeatwith rec in people\n"
        "#name = @rec.name\n"
        "rec.evaluateexpression \"#b\", \"BIRT.DATE\"\n"
        "endrepeat\n"
        "result.setstringforkey #name, name\n";
    auto result = kl::ISDictType::initDict();
    for (auto _ : state) {
        auto server = std::make_shared<kl::RunServer>(nullptr);
        server->interpretThread(script, kl::Array{kl::Value(".klscpt"), kl::Value("/tmp")},
                                kl::Dictionary{{"people", kl::Value(kl::ISListType::listWithList(t->people))},
                                               {"result", kl::Value(result)}});
        if (auto error = server->scriptError()) {
            state.SkipWithError(error->c_str());
            return;
        }
    }
    // The loop ran to its end: the last individual's name came out.
    const auto* last = t->people->empty() ? nullptr : t->people->back().objectAs<kl::GEDCOMRecord>().get();
    if (!last || result->klis_objectForKey("name").toString() != last->viewName())
        state.SkipWithError("the script did not reach the last individual");
    state.counters["individuals"] = static_cast<double>(t->people->size());
}
BENCHMARK(BM_ScriptWalksIndividuals)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
