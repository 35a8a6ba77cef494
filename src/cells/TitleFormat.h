#pragma once
// The title of a link from a template's title format: the value takes the
// place of the first "%@" as plain text, and every other character of the
// format is copied as typed. A format is template text, never a printf
// format, so "%d", "%n" or a second "%@" show as they are written and no
// value can be read from or written to where it does not belong.
#include <string>
#include <string_view>

namespace kl {

std::string titleWithFormat(std::string_view format, std::string_view value);

}  // namespace kl
