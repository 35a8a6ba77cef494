// Name variants between the database's one form (TRAN with LANG and _TLIT)
// and the FONE/ROMN with TYPE that other programs read and write.
#include <map>
#include <memory>

#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/TagMatch.h"
#include "foundation/TextCase.h"
#include "model/wex.h"

namespace kl {

namespace {

struct Scheme {
    const char* type;
    bool phonetic;
    const char* lang;
    const char* tlit;
};
constexpr Scheme kSchemes[] = {
    {"hangul", true, "ko", "hang"},       {"kana", true, "ja", "hrkt"},
    {"pinyin", false, "und", "Latn-pinyin"}, {"romanji", false, "ja", "Latn"},
    {"wadegiles", false, "zh", "Latn-wadegile"},
};

// "<lang>-<scheme>" in lower case -> [TYPE, phonetic].
const std::map<std::string, std::pair<const char*, bool>, std::less<>>& typeForKey() {
    static const std::map<std::string, std::pair<const char*, bool>, std::less<>> table{
        {"ko-hang", {"hangul", true}},          {"ja-hrkt", {"kana", true}},
        {"und-latn-pinyin", {"pinyin", false}}, {"zh-latn-pinyin", {"pinyin", false}},
        {"ho-latn-pinyin", {"pinyin", false}},  {"ja-latn", {"romanji", false}},
        {"zh-latn-wadegile", {"wadegiles", false}},
    };
    return table;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Turns one FONE or ROMN below a name into a TRAN, in place: reading is not
// undoable, so the lines change without undo or notification.
void variantToTRAN(GEDCOMStructure& variant, bool phonetic, GEDCOMRecord* record) {
    variant.setGtag("TRAN");
    const int childLevel = variant.glevel() + 1;
    if (auto type = variant.firstChildWithTag("TYPE")) {
        const auto [lang, scheme] = INDIRecord::convertFONE(phonetic, type->contents());
        type->setGtag("LANG");
        type->changeContents(lang);
        if (auto tlit = variant.firstChildWithTag("_TLIT"))
            tlit->changeContents(scheme);
        else
            variant.GEDCOMObject::addStructure(std::make_shared<GEDCOMStructure>(record, childLevel, "_TLIT", scheme));
        return;
    }
    variant.GEDCOMObject::addStructure(std::make_shared<GEDCOMStructure>(record, childLevel, "LANG", "und"));
    variant.GEDCOMObject::addStructure(
        std::make_shared<GEDCOMStructure>(record, childLevel, "_TLIT", phonetic ? "(FONE)" : "(ROMN)"));
}

// A made line gets the same CONC/CONT splitting as every other line.
void appendLine(std::string& out, int level, const std::string& tag, const std::string& contents) {
    GEDCOMStructure(nullptr, level, tag, contents).appendStructureLine(out);
}

}  // namespace

std::array<std::string, 2> INDIRecord::convertFONE(bool phonetic, const std::string& type) {
    const std::string lowered = textcase::lower(type);
    for (const Scheme& scheme : kSchemes)
        if (scheme.phonetic == phonetic && lowered == scheme.type) return {scheme.lang, scheme.tlit};
    const std::string fallback = phonetic ? "(FONE)" : "(ROMN)";
    const std::size_t dash = lowered.find('-');
    if (dash == std::string::npos) return {lowered, fallback};
    const std::string rest = lowered.substr(dash + 1);
    return {lowered.substr(0, dash), rest.empty() ? fallback : rest + " " + fallback};
}

std::string INDIRecord::convertTRAN(bool& phonetic, const std::string& lang, const std::string& tlit) {
    phonetic = false;
    const std::string lowered = textcase::lower(tlit);
    std::string scheme = tlit;
    if (endsWith(lowered, "(fone)")) {
        phonetic = true;
        scheme.resize(scheme.size() - 6);
    } else if (endsWith(lowered, "fone")) {
        phonetic = true;
        scheme.resize(scheme.size() - 4);
    } else if (endsWith(lowered, "romn")) {
        scheme.resize(scheme.size() - 4);
    } else if (endsWith(lowered, "(romn)")) {
        scheme.resize(scheme.size() - 6);
    }
    scheme = wex::removeWhiteTail(scheme);
    // A TRAN without a language (never made by reading) keeps its scheme.
    std::string key = lang.empty() ? scheme : scheme.empty() ? lang : lang + "-" + scheme;
    const auto& table = typeForKey();
    if (auto found = table.find(textcase::lower(key)); found != table.end()) {
        if (found->second.second) phonetic = true;
        return found->second.first;
    }
    return key;
}

void INDIRecord::tidyOwnLines() {
    GEDCOMRecord::tidyOwnLines();
    for (const auto& name : structures()) {
        if (!isTag(name->gtag(), "NAME") || name->structures().empty()) continue;
        if (auto lang = name->firstChildWithTag("_LANG")) lang->setGtag("LANG");
        for (const auto& variant : name->structures()) {
            if (isTag(variant->gtag(), "FONE"))
                variantToTRAN(*variant, true, this);
            else if (isTag(variant->gtag(), "ROMN"))
                variantToTRAN(*variant, false, this);
        }
    }
}

void INDIRecord::appendGEDCOMRecordExport(std::string& out, bool allowCache) const {
    const std::uint32_t flags = exportFlags();
    if ((flags & kExportOmitsPlaces) == 0) {
        appendGEDCOMRecord(out, allowCache);
        return;
    }
    const bool dropVariants = (flags & kExportGEDCOM55) != 0;
    std::string& text = out;
    appendStructureLine(text);
    for (const auto& structure : structures()) {
        if (structure->gtag() != "NAME") {
            structure->appendGEDCOM(text);
            continue;
        }
        structure->appendStructureLine(text);
        for (const auto& child : structure->structures()) {
            if (child->gtag() == "TRAN") {
                if (dropVariants) continue;
                auto lang = child->firstChildWithTag("LANG");
                auto tlit = child->firstChildWithTag("_TLIT");
                bool phonetic = false;
                const std::string type = convertTRAN(phonetic, lang ? lang->contents() : std::string(),
                                                     tlit ? tlit->contents() : std::string());
                appendLine(text, child->glevel(), phonetic ? "FONE" : "ROMN", child->contents());
                appendLine(text, child->glevel() + 1, "TYPE", type);
                for (const auto& detail : child->structures())
                    if (detail->gtag() != "LANG" && detail->gtag() != "_TLIT") detail->appendGEDCOM(text);
            } else if (child->gtag() == "LANG") {
                appendLine(text, child->glevel(), "_LANG", child->contents());
            } else {
                child->appendGEDCOM(text);
            }
        }
    }
}

}  // namespace kl
