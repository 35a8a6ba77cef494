// The multimedia object in reports: a list of labelled lines, or prose that
// names the object, its date and place and what its file is.
#include "foundation/FormatText.h"
#include "model/GEDCOMStructure.h"
#include "model/OBJERecord.h"
#include "model/ReportOptions.h"

namespace kl {

Value OBJERecord::reportDescription(std::uint32_t options) const {
    const bool forHtml = (options & kReportEscapesText) != 0;
    const std::string name = formatForReport(viewName(), forHtml);
    const std::string date = (options & ReportBD) ? dataWithTag("_DATE") : std::string();
    const std::string place = (options & ReportBP) ? formatForReport(dataWithTag("_LOC"), forHtml) : std::string();
    const ImageState image = getMMImageInFile(false);
    if (options & ReportList) return reportLines(image, name, date, place, options);
    return Value(reportProse(image, name, date, place, options));
}

Value OBJERecord::reportLines(const ImageState& image, const std::string& name, const std::string& date,
                              const std::string& place, std::uint32_t options) const {
    Array lines;
    auto add = [&lines](std::string line) { lines.emplace_back(std::move(line)); };
    if (!(options & ReportPron)) {
        if (options & ReportMainLink)
            add(formatText("Multimedia Object: <a href='//%@'>%@</a>", {grecordID(), name}));
        else
            add(formatText("Multimedia Object: %@", {name}));
    }
    const std::string stored = mmFileName();
    if (image.isURL) {
        add(formatText("URL: %@", {stored}));
    } else {
        const std::string full = image.fullPath.value_or(std::string());
        if (stored != full) add(formatText("Relative Path: %@", {stored}));
        if (image.found) add(formatText("Full Path: %@", {full}));
        if (const std::string format = mmFormat(); !format.empty()) add(formatText("Format: %@", {format}));
    }
    if (!date.empty()) add(formatText("Date: %@", {date}));
    if (!place.empty()) add(formatText("Location: %@", {place}));
    return Value(std::move(lines));
}

std::string OBJERecord::reportProse(const ImageState& image, const std::string& name, const std::string& date,
                                    const std::string& place, std::uint32_t options) const {
    std::string text;
    if (!(options & ReportPron)) {
        if (options & ReportMainLink)
            text += formatText("%@'s title is <a href='//%@'>%@</a>. ", {"The multimedia object", grecordID(), name});
        else
            text += formatText("%@'s name is %@. ", {"The multimedia object", name});
    }
    if (!date.empty() && !place.empty())
        text += formatText("%@ is dated %@ with location %@. ", {"It", date, place});
    else if (!date.empty())
        text += formatText("%@ is dated %@. ", {"It", date});
    else if (!place.empty())
        text += formatText("%@'s location %@. ", {"It", place});
    const std::string full = image.fullPath.value_or(std::string());
    if (options & ReportSay) {
        if (image.isURL) return text + "This object is a link to a web site.";
        if (image.isImage) return text + "This object is an image.";
        if (image.found) return text + "This object is a non-image document.";
        return text + "The file for this object cannot be found.";
    }
    if (image.isURL) return text + formatText("This multimedia object is a link to the web site %@.", {mmFileName()});
    if (image.isImage) return text + formatText("The image file for this object is at %@.", {full});
    if (image.found) return text + formatText("The non-image document file for this object is at %@.", {full});
    return text + "The file for this object cannot be found.";
}

}  // namespace kl
