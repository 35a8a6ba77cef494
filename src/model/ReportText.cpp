#include "model/ReportText.h"

#include "foundation/FormatText.h"
#include "foundation/HTMLText.h"
#include "model/ReportOptions.h"

namespace kl::report {

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
    return formatText(pattern, arguments, Unfilled::drop);
}

std::string fill(std::string_view pattern, const std::vector<std::string>& arguments) {
    return formatText(pattern, arguments, Unfilled::drop);
}

std::string link(std::string_view recordID, std::string_view name) {
    return fill("<a href='//%@'>%@</a>", {recordID, name});
}

std::string place(std::string placeText, std::uint32_t options) {
    if (placeText.empty() || !(options & kReportEscapesText)) return placeText;
    return safeHTMLText(placeText, false, false);
}

std::string joinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) joined += i + 1 == names.size() ? " and " : ", ";
        joined += names[i];
    }
    return joined;
}

}  // namespace kl::report
