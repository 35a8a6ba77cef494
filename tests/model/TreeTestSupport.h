#pragma once
// Helpers for the tree tests: a minimal reader that turns GEDCOM text back
// into a record (level, tag, the rest after one blank) and folds it, and a
// recorder of posted notifications.
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/NotificationCenter.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl::test {

// Reads the first record of `text`; lines without a level become level -1
// lines, as the line parser hands them over.
inline std::shared_ptr<GEDCOMRecord> readRecord(const std::string& text, bool fold = true) {
    std::shared_ptr<GEDCOMRecord> record;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::size_t sp = line.find(' ');
        std::string first = line.substr(0, sp);
        bool digits = !first.empty() && first.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || first.size() > 9) {
            if (record) record->addNoLevel(line);
            continue;
        }
        int level = std::stoi(first);
        std::string rest = sp == std::string::npos ? "" : line.substr(sp + 1);
        std::size_t sp2 = rest.find(' ');
        std::string tag = rest.substr(0, sp2);
        std::string value = sp2 == std::string::npos ? "" : rest.substr(sp2 + 1);
        if (level == 0) {
            if (record) break;
            record = std::make_shared<GEDCOMRecord>(tag, value);
            continue;
        }
        record->addLevel(level, tag, value);
    }
    if (record && fold)
        for (const auto& s : record->structures()) s->appendCONTandCONC();
    return record;
}

// Every notification posted while it lives.
struct NotificationLog {
    std::vector<Notification> posted;
    Observation observation = NotificationCenter::defaultCenter().addObserver(
        "", nullptr, [this](const Notification& n) { posted.push_back(n); });

    std::size_t count(const std::string& name) const {
        std::size_t n = 0;
        for (const auto& p : posted) n += p.name == name;
        return n;
    }
};

}  // namespace kl::test
