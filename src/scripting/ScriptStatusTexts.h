#pragma once
// The status lines of the script run panel, with the script's title in
// place of %@. Pure functions; any thread.
#include <string>

namespace kl::ScriptStatusTexts {

// Below 0 no percentage; otherwise the whole percentage, cut, at most 100.
std::string runningMessage(const std::string& title, double fraction);
std::string doneMessage(const std::string& title);
std::string errorMessage(const std::string& title);

}  // namespace kl::ScriptStatusTexts
