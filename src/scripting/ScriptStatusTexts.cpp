#include "scripting/ScriptStatusTexts.h"

#include <algorithm>
#include <cmath>

namespace kl::ScriptStatusTexts {

std::string runningMessage(const std::string& title, double fraction) {
    if (!(fraction >= 0)) return "Script '" + title + "' is running ...";
    const int percent = static_cast<int>(std::min(100.0, std::floor(fraction * 100)));
    return "Script '" + title + "' is running (" + std::to_string(percent) + "%)";
}

std::string doneMessage(const std::string& title) { return "Script '" + title + "' is done"; }

std::string errorMessage(const std::string& title) { return "The script '" + title + "' encountered an error"; }

}  // namespace kl::ScriptStatusTexts
