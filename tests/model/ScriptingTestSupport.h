#pragma once
// Doubles for the scripting tests: a script interpreter with named objects,
// a none value and its own list type; a document host that records what the
// records asked of it; a store that serves the host; a dispatcher that counts
// the hand-offs to the main thread; a library with one tag list.
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeRecordStore.h"
#include "foundation/MainThread.h"
#include "model/GEDCOMObject.h"
#include "model/ISScripting.h"
#include "model/LibraryServices.h"
#include "model/RecordScriptHost.h"

namespace kl::test {

class TestList : public ISScripting {
public:
    explicit TestList(Array items) : items(std::move(items)) {}
    Array items;
    std::optional<std::string> klis_getAttribute(const std::string&, ISInterpreter*) override { return {}; }
    bool klis_setAttribute(const std::string&, const std::string&, ISInterpreter*) override { return false; }
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string&, ISInterpreter*) override { return {}; }
    std::optional<Array> klis_listItems() const override { return items; }
};

class NoneObject : public Object {};

class TestInterpreter : public ISInterpreter {
public:
    std::shared_ptr<Object> none = std::make_shared<NoneObject>();
    std::map<std::string, std::shared_ptr<Object>> objects;
    Value returned;

    std::shared_ptr<Object> scriptObject(const std::string& name) override {
        if (name == "None") return none;
        auto it = objects.find(name);
        return it == objects.end() ? nullptr : it->second;
    }
    void setReturnValue(Value value) override { returned = std::move(value); }
    Value returnValue() override { return returned; }
    std::shared_ptr<Object> makeList(Array items) override { return std::make_shared<TestList>(std::move(items)); }

    // The items of a list answered by an object attribute.
    static Array items(const std::shared_ptr<Object>& list) {
        auto test = std::dynamic_pointer_cast<TestList>(list);
        return test ? test->items : Array{};
    }
};

class HostDouble : public RecordScriptHost {
public:
    std::vector<std::string> expressions;
    std::vector<Value> browsers;
    struct Merge {
        std::shared_ptr<GEDCOMRecord> other;
        Dictionary info;
    };
    std::vector<Merge> merges;
    struct DataChange {
        std::shared_ptr<GEDCOMRecord> record;
        std::string gedcom;
        bool verify;
    };
    std::vector<DataChange> dataChanges;
    std::vector<std::string> commands;
    std::map<std::string, std::array<double, 4>> bounds;

    std::string evaluateExpression(const GEDCOMObject& node, const std::string& expression) override {
        expressions.push_back(expression);
        return node.gtag() + ":" + expression;
    }
    void openRecordBrowser(const Value& what) override { browsers.push_back(what); }
    void mergeRecordsNow(const std::shared_ptr<GEDCOMRecord>& other, const Dictionary& info) override {
        merges.push_back({other, info});
    }
    void changeRecordData(const std::shared_ptr<GEDCOMRecord>& record, const std::string& gedcom,
                          bool verify) override {
        dataChanges.push_back({record, gedcom, verify});
        record->reparse(gedcom);
    }
    ScriptReply applicationCommand(const std::string& command, const Dictionary&) override {
        commands.push_back(command);
        return ScriptReply::answer(Value("done " + command));
    }
    std::optional<std::array<double, 4>> boundsToRect(const std::string& text) override {
        auto it = bounds.find(text);
        if (it == bounds.end()) return std::nullopt;
        return it->second;
    }
};

class ScriptStore : public FakeRecordStore {
public:
    HostDouble host;
    bool serving = true;
    RecordScriptHost* scriptHost() override { return serving ? &host : nullptr; }
};

// Runs every task at once, as the inline dispatcher does, and counts the
// hand-offs that waited.
class CountingDispatcher : public Dispatcher {
public:
    int waited = 0;
    void post(Task task) override { task(); }
    void postAndWait(Task task) override {
        ++waited;
        task();
    }
    void postDeferred(const void*, Task task) override { task(); }
    void cancelDeferred(const void*) override {}
    bool isMainThread() const override { return true; }
};

// A library whose only tag list is "TestEvents" (BIRT, DEAT).
class TagListLibrary : public LibraryServices {
public:
    std::shared_ptr<const TagList> tagList(std::string_view name) const override {
        if (name != "TestEvents") return nullptr;
        return std::make_shared<const TagList>(TagList{"BIRT", "DEAT"});
    }
};

struct LibraryScope {
    LibraryScope() { LibraryServices::setCurrent(std::make_shared<TagListLibrary>()); }
    ~LibraryScope() { LibraryServices::setCurrent(nullptr); }
};

}  // namespace kl::test
