#pragma once
// A GEDCOMReader that writes every report as one line of text, so a scan can
// be compared with an expected list. Brackets show the exact texts, spaces
// included.
#include <functional>
#include <string>
#include <vector>

#include "model/GEDCOMReader.h"

namespace kl::test {

class RecordingReader : public GEDCOMReader {
public:
    std::vector<std::string> log;
    bool trailerAnswer = true;
    // Called after each report is logged; lets a test act mid-scan.
    std::function<void(const std::string&)> onReport;

    void parserDidStart() override { add("start"); }
    void parserDidEnd() override { add("end"); }
    void parserFoundHEAD() override { add("HEAD"); }
    void parserStartRecord(std::string type, std::string id, std::string contents,
                           bool verify) override {
        add("record [" + type + "] [" + id + "] [" + contents + "]" + (verify ? " verify" : ""));
    }
    void parserLevel(int32_t level, std::string tag, std::string contents, bool custom) override {
        add("level " + std::to_string(level) + " [" + tag + "] [" + contents + "]" +
            (custom ? " custom" : ""));
    }
    bool parserFoundTRLR() override {
        add("TRLR");
        return trailerAnswer;
    }
    void parserClearMemory() override { add("clear"); }
    void parserInvalidRecordID(std::string id) override { add("invalid id [" + id + "]"); }
    void parserInvalidLevelOrder() override { add("level order"); }
    void parserInvalidTag() override { add("invalid tag"); }
    void parserNoLevelLine(std::string text) override { add("no level [" + text + "]"); }

private:
    void add(std::string line) {
        log.push_back(std::move(line));
        if (onReport) onReport(log.back());
    }
};

}  // namespace kl::test
