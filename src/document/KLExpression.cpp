#include "document/KLExpression.h"

#include <mutex>
#include <vector>

#include "dates/DateBridge.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

namespace {

// The stand-in evaluator used until the script language installs its own.
class TagPathExpression final : public KLExpression {
public:
    explicit TagPathExpression(std::string text) : text_(std::move(text)) {
        std::string_view rest = text_;
        while (!rest.empty()) {
            const size_t dot = rest.find('.');
            std::string_view word = rest.substr(0, dot);
            if (!word.empty()) words_.emplace_back(word);
            if (dot == std::string_view::npos) break;
            rest.remove_prefix(dot + 1);
        }
    }

    std::string valueInRecord(const GEDCOMObject& node, const GEDCOMRecord&, GEDCOMModel*) const override {
        if (words_.empty()) return {};
        std::vector<std::string_view> path(words_.begin(), words_.end());
        const std::string_view last = path.back();
        const bool numeric = last == "number" || last == "sdn";
        if (numeric) path.pop_back();
        std::string text = lookUp(node, path);
        if (last == "sdn") return text.empty() ? std::string() : std::to_string(midSdnForDate(text));
        if (numeric) return std::to_string(std::strtoll(text.c_str(), nullptr, 10));
        return text;
    }

    std::string expressionString(bool) const override { return text_; }

private:
    static std::string lookUp(const GEDCOMObject& node, const std::vector<std::string_view>& path) {
        if (path.size() == 1) {
            const GEDCOMRecord* record = node.theRecord();
            if (record && record == &node) {
                if (path[0] == "view") return record->viewName();
                if (path[0] == "id") return record->grecordID();
                if (path[0] == "rec") return record->recordType();
            }
        }
        const GEDCOMObject* at = &node;
        std::shared_ptr<GEDCOMStructure> hold;
        for (std::string_view word : path) {
            hold = at->findStructureWithTag(word);
            if (!hold) return {};
            at = hold.get();
        }
        return at->contents();
    }

    std::string text_;
    std::vector<std::string> words_;
};

std::mutex& factoryMutex() {
    static std::mutex m;
    return m;
}

KLExpression::Factory& installedFactory() {
    static KLExpression::Factory factory;
    return factory;
}

}  // namespace

std::shared_ptr<KLExpression> KLExpression::expressionFromString(const std::string& text) {
    Factory factory;
    {
        std::lock_guard lock(factoryMutex());
        factory = installedFactory();
    }
    if (factory)
        if (auto made = factory(text)) return made;
    return std::make_shared<TagPathExpression>(text);
}

void KLExpression::setFactory(Factory factory) {
    std::lock_guard lock(factoryMutex());
    installedFactory() = std::move(factory);
}

std::string_view KLExpression::lastWord(std::string_view text) {
    const size_t dot = text.rfind('.');
    return dot == std::string_view::npos ? text : text.substr(dot + 1);
}

bool KLExpression::numericExpression() const {
    const std::string whole = expressionString(true);
    const std::string_view last = lastWord(whole);
    return last == "sdn" || last == "number";
}

bool KLExpression::sdnExpression() const {
    const std::string whole = expressionString(true);
    return lastWord(whole) == "sdn";
}

}  // namespace kl
