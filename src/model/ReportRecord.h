#pragma once
// ReportRecord: a stored report (`_RPT`): a title and a body of plain text
// or HTML, with the font of a plain-text report. The store makes and
// deletes reports without undo and never writes them to a file; the
// report's own edits stay out of the undo history too.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread). The
// class-wide counter source is set on the main thread at launch.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class ReportRecord : public GEDCOMRecord {
public:
    struct Font {
        std::string name;
        double pointSize = 0;
    };

    explicit ReportRecord(std::string recordID, std::string type = "_RPT")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    std::string viewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    // Clears isHtmlReport.
    std::string textForNewRecord(bool choice) override;
    void insertNewUserText(const std::string& text) override;
    // A report still outside a store gets " (n)" from the report counter
    // and takes the title once installed. Never stamps a change.
    void setViewName(const std::string& name) override;

    std::string body() const { return dataWithTag("_BODY"); }
    void setBody(const std::string& text) { setBody(text, std::nullopt); }
    // Carriage returns become line feeds; decides isHtmlReport; with a font
    // writes _FONT and _SIZE ("%f").
    void setBody(const std::string& text, const std::optional<Font>& font);
    bool isHtmlReport() const { return isHtmlReport_; }

    // A report has no links.
    void removeAllLinks() override {}

    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;

    // Where the numbers of untitled reports come from (the application's
    // stored counter); an empty source restores a counter of this process.
    static void setReportCounter(std::function<std::int64_t()> source);
    static std::int64_t reportCounter();

private:
    // Sets the first level-1 line with the tag, or adds one (first, or
    // after the last line), with undo registration off.
    void setQuietly(const std::string& tag, const std::string& value, bool first);

    bool isHtmlReport_ = false;
};

}  // namespace kl
