#include "cells/WebPaneLinks.h"

#include "document/GEDCOMModel.h"
#include "foundation/AsciiText.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {

// The scheme of an address ("" when it has none); letters, digits, "+",
// "-" and "." before the first ":".
std::string_view schemeOf(std::string_view address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos || colon == 0) return {};
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = address[i];
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (i > 0 && ((c >= '0' && c <= '9') ||
                                                                                    c == '+' || c == '-' || c == '.'));
        if (!ok) return {};
    }
    return address.substr(0, colon);
}

std::string_view withoutFragment(std::string_view address) {
    const std::size_t hash = address.find('#');
    return hash == std::string_view::npos ? address : address.substr(0, hash);
}

}  // namespace

std::string WebPaneLinks::target(std::string_view address) {
    const std::string_view scheme = schemeOf(address);
    std::string rest(scheme.empty() ? address : address.substr(scheme.size() + 1));
    if (asciiLower(std::string(scheme)) == "kinlore") return rest;
    for (std::size_t at = rest.find("%40"); at != std::string::npos; at = rest.find("%40", at + 1))
        rest.replace(at, 3, "@");
    if (rest.size() >= 3 && rest.starts_with("//")) rest.erase(0, 2);
    return rest;
}

WebPaneLinks::Decision WebPaneLinks::decide(std::string_view address, std::string_view basePath,
                                            const GEDCOMModel* model) {
    // A place inside the page, or the page itself again.
    if (address.starts_with('#')) return {Action::Stay, nullptr};
    std::string_view path = withoutFragment(address);
    if (asciiLower(std::string(schemeOf(path))) == "file") {
        path.remove_prefix(5);
        if (path.starts_with("//")) path.remove_prefix(2);
    }
    if (!basePath.empty() && path == basePath) return {Action::Stay, nullptr};
    const std::string id = target(address);
    if (id.size() >= 3 && model) {
        std::shared_ptr<GEDCOMRecord> record;
        if (id.front() == '@' && id.back() == '@') record = model->recordWithID(id);
        else if (asciiLower(id) == "head") record = model->header();
        if (record) return {Action::OpenRecord, std::move(record)};
    }
    return {Action::Desktop, nullptr};
}

std::string WebPaneLinks::schemeRecordLinks(std::string page) {
    for (const char* from : {"href='//@", "href=\"//@"}) {
        const std::string pattern(from);
        std::string to = pattern;
        to.replace(to.find("//"), 2, "kinlore:");
        for (std::size_t at = page.find(pattern); at != std::string::npos; at = page.find(pattern, at + to.size()))
            page.replace(at, pattern.size(), to);
    }
    return page;
}

}  // namespace kl
