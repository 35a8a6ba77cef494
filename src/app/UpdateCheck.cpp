#include "app/UpdateCheck.h"

#include <cmath>
#include <cstdio>

#include "foundation/FormatText.h"
#include "foundation/Logger.h"

namespace kl {

namespace {

constexpr double kSame = 0.000001;
constexpr const char* kDownload = "Download";
constexpr const char* kNoCheck = "You can disable this automatic check for updates in the Kinlore II preferences.";

std::string textAt(const Array& list, std::size_t index, std::string fallback = {}) {
    return index < list.size() ? list[index].toString(fallback) : fallback;
}

double numberAt(const Array& list, std::size_t index, double fallback = 0) {
    if (index >= list.size()) return fallback;
    if (const std::string* text = list[index].string()) {
        char* end = nullptr;
        const double value = std::strtod(text->c_str(), &end);
        return end != text->c_str() ? value : fallback;
    }
    return list[index].toReal(fallback);
}

std::string releaseText(const char* format, const std::string& version, int build, const std::string& date) {
    return formatText(format, {version, std::to_string(build), date});
}

}  // namespace

double UpdateCheck::runningNumber(const Running& running) {
    return running.version + running.build / 100.0 + (running.beta >= 1 ? running.beta / 1000.0 : 0);
}

std::optional<Array> UpdateCheck::updateFeedback(const std::optional<Dictionary>& versionList, const Running& running,
                                                 bool manual, const std::string& site) {
    if (!versionList) {
        if (!manual) {
            Logger::log("The version file could not be downloaded");
            return std::nullopt;
        }
        return Array{Value("The latest version information could not be read from the web."),
                     Value("Either the version information file is missing or you are not connected to the web.")};
    }
    const double R = runningNumber(running);
    const Value* official = versionList->get("Official");
    const Value* beta = versionList->get("Beta");
    const Array noList;
    const Array& o = official && official->array() ? *official->array() : noList;
    const Array& b = beta && beta->array() ? *beta->array() : noList;
    const bool hasOfficial = official && official->array();
    const bool hasBeta = beta && beta->array();

    const std::string officialVersion = hasOfficial ? textAt(o, 0) : "none";
    const std::string officialDate = hasOfficial ? textAt(o, 1) : "to be announced";
    const int officialBuild = hasOfficial ? int(numberAt(o, 3)) : 1;
    const double O = hasOfficial ? std::floor(numberAt(o, 2) * 10 + 0.001) / 10 + officialBuild / 100.0 : 0;
    const double B = hasBeta ? numberAt(b, 2) : 1000;
    const std::string betaText =
        hasBeta ? formatText(textAt(b, 3, "A beta release (%@) posted %@ is available for downloading"),
                             {textAt(b, 0), textAt(b, 1)})
                : std::string();
    const std::string officialText =
        releaseText("The current official release (%@ build %@) was posted %@.", officialVersion, officialBuild,
                    officialDate);
    const std::string downloadPage = site + "/KLDown.html", betaPage = site + "/KLBeta.html";

    Array feedback;
    auto say = [&](std::string title, std::string informative, std::optional<std::string> page, bool button,
                   std::optional<double> notes) {
        feedback = {Value(std::move(title)), Value(std::move(informative))};
        if (!page) return;
        feedback.push_back(Value(*page));
        if (!button) return;
        feedback.push_back(Value(kDownload));
        if (notes) feedback.push_back(Value(*notes));
    };
    bool quiet = false;
    if (running.beta == 0) {
        const std::optional<std::string> page = hasBeta ? std::optional(betaPage) : std::nullopt;
        if (std::fabs(R - O) < kSame) {
            quiet = true;
            say("You are running the current official release of Kinlore II", betaText, page, hasBeta, std::nullopt);
        } else if (R > O) {
            quiet = true;
            say("You are running a version that is newer than the current official release of Kinlore II", betaText,
                page, hasBeta, std::nullopt);
        } else {
            say(releaseText("A newer version of Kinlore II (%@ build %@) posted %@ is available for downloading.",
                            officialVersion, officialBuild, officialDate),
                manual ? betaText : kNoCheck, downloadPage, true, O);
        }
    } else if (std::fabs(R - B) < kSame) {
        quiet = true;
        say("You are running the current beta release of Kinlore II.", officialText, downloadPage, true, std::nullopt);
    } else if (R > B) {
        quiet = true;
        say("You are running a beta version that is newer than the current beta release of Kinlore II.",
            officialText, downloadPage, true, std::nullopt);
    } else if (!hasBeta) {
        say(releaseText("You are running a beta version, but the official version of Kinlore II (%@ build %@) posted "
                        "%@ is now available for downloading.",
                        officialVersion, officialBuild, officialDate),
            manual ? "" : kNoCheck, downloadPage, true, O);
    } else {
        say("Your beta version is out of date. " + betaText, manual ? officialText : kNoCheck, betaPage, true,
            std::nullopt);
    }
    if (quiet && !manual) return std::nullopt;
    return feedback;
}

std::vector<std::string> UpdateCheck::buttons(const Array& feedback) {
    if (feedback.size() > 4) return {"Get Later", "Release Notes", textAt(feedback, 3)};
    std::vector<std::string> titles{"OK"};
    if (feedback.size() > 3) titles.push_back(textAt(feedback, 3));
    return titles;
}

std::optional<std::string> UpdateCheck::addressForButton(const Array& feedback, std::size_t index,
                                                         const std::string& site) {
    if (index == 0) return std::nullopt;
    if (index == 1 && feedback.size() > 4) {
        char anchor[32];
        // A small allowance keeps 2.01 from becoming 200.
        std::snprintf(anchor, sizeof anchor, "#v%d", int(std::floor(numberAt(feedback, 4) * 100 + 1e-6)));
        return site + "/downlds/KLRelease.html" + anchor;
    }
    return feedback.size() > 2 ? textAt(feedback, 2) : site;
}

}  // namespace kl
