// The multimedia object in reports: a list of labelled lines, or prose that
// names the object, its date and place and what its file is.
#include "model/GEDCOMStructure.h"
#include "model/OBJERecord.h"
#include "model/PatternText.h"
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
            add(fillPattern("Multimedia Object: <a href='//%@'>%@</a>", {grecordID(), name}));
        else
            add(fillPattern("Multimedia Object: %@", {name}));
    }
    const std::string stored = mmFileName();
    if (image.isURL) {
        add(fillPattern("URL: %@", {stored}));
    } else {
        const std::string full = image.fullPath.value_or(std::string());
        if (stored != full) add(fillPattern("Relative Path: %@", {stored}));
        if (image.found) add(fillPattern("Full Path: %@", {full}));
        if (const std::string format = mmFormat(); !format.empty()) add(fillPattern("Format: %@", {format}));
    }
    if (!date.empty()) add(fillPattern("Date: %@", {date}));
    if (!place.empty()) add(fillPattern("Location: %@", {place}));
    return Value(std::move(lines));
}

std::string OBJERecord::reportProse(const ImageState& image, const std::string& name, const std::string& date,
                                    const std::string& place, std::uint32_t options) const {
    std::string text;
    if (!(options & ReportPron)) {
        if (options & ReportMainLink)
            text += fillPattern("%@'s title is <a href='//%@'>%@</a>. ", {"The multimedia object", grecordID(), name});
        else
            text += fillPattern("%@'s name is %@. ", {"The multimedia object", name});
    }
    if (!date.empty() && !place.empty())
        text += fillPattern("%@ is dated %@ with location %@. ", {"It", date, place});
    else if (!date.empty())
        text += fillPattern("%@ is dated %@. ", {"It", date});
    else if (!place.empty())
        text += fillPattern("%@'s location %@. ", {"It", place});
    const std::string full = image.fullPath.value_or(std::string());
    if (options & ReportSay) {
        if (image.isURL) return text + "This object is a link to a web site.";
        if (image.isImage) return text + "This object is an image.";
        if (image.found) return text + "This object is a non-image document.";
        return text + "The file for this object cannot be found.";
    }
    if (image.isURL) return text + fillPattern("This multimedia object is a link to the web site %@.", {mmFileName()});
    if (image.isImage) return text + fillPattern("The image file for this object is at %@.", {full});
    if (image.found) return text + fillPattern("The non-image document file for this object is at %@.", {full});
    return text + "The file for this object cannot be found.";
}

}  // namespace kl
