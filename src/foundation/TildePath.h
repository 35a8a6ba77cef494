#pragma once
// Paths kept in settings are stored with the home folder written as "~",
// so that they survive a renamed or moved home; these turn them back and
// forth. $HOME is read on each call.
#include <string>
#include <string_view>

namespace kl {

// "~" or "~/..." with the home folder put in; any other path unchanged.
std::string expandTilde(std::string_view path);
// A path inside the home folder written from "~"; any other path unchanged.
std::string abbreviateWithTilde(std::string_view path);

}  // namespace kl
