#pragma once
// Recognising the HTML blocks that notes and HTML panes store, and making
// any other text safe to place inside an HTML page. Pure functions; safe on
// any thread.
#include <cstddef>
#include <string>
#include <string_view>

namespace kl {

// A stored HTML block: after leading white space it opens with "<div" (any
// case) whose ">" comes before the first line end, and without trailing
// white space it ends with "</div>" (any case). Answers the offset just past
// that ">" (where the content starts), 0 for any other text.
std::size_t isHTMLText(std::string_view text);

// An HTML block is only trimmed of white space and line ends at both ends
// (and `isHTML`, when given, is set). Any other text has "&", "<", ">" and
// the double quote escaped; each line end (CR, LF or CR LF) becomes "\n",
// or "</p>\n<p>" with `newLines`; `enclose` wraps the result in "<p>" and
// "</p>\n".
std::string safeHTMLText(std::string_view text, bool enclose, bool newLines, bool* isHTML = nullptr);

}  // namespace kl
