#include <mutex>
#include <vector>

#include "app/AppController.h"
#include "foundation/Logger.h"
#include "model/Soundex.h"
#include "model/wex.h"

namespace kl {

namespace {

constexpr std::string_view kTrimmed = "\"+,/:;";
// Hosts of the outside searches; only the paths and queries are fixed.
constexpr const char* kWebSearch = "https://www.google.com/search?hl=en&client=safari&rls=en&q=";
constexpr const char* kMapSearch = "https://www.google.com/maps?hl=en&client=safari&rls=en&q=";

bool trimmable(char c) { return kTrimmed.find(c) != std::string_view::npos; }

std::size_t characterCount(std::string_view word) {
    std::size_t n = 0;
    for (unsigned char c : word) n += (c & 0xC0) != 0x80;
    return n;
}

// Leading and trailing search punctuation off; nothing when fewer than two
// characters remain.
std::optional<std::string> searchWord(std::string word) {
    while (characterCount(word) >= 2 && trimmable(word.front())) word.erase(0, 1);
    while (characterCount(word) >= 2 && trimmable(word.back())) word.pop_back();
    if (characterCount(word) < 2) return std::nullopt;
    return word;
}

// Characters a query keeps as they are. "&", "=" and "+" inside a word
// would end the search text or turn into a blank, so they are encoded too;
// only the "+" that joins words stays literal.
bool keptInQuery(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("!$'()*,-./:;?@_~").find(char(c)) != std::string_view::npos;
}

std::string percentEncoded(std::string_view word) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : word) {
        if (keptInQuery(c)) {
            out.push_back(char(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

std::mutex& openerMutex() {
    static std::mutex m;
    return m;
}

std::function<void(const std::string&)>& opener() {
    static std::function<void(const std::string&)> f;
    return f;
}

}  // namespace

std::int64_t AppController::nextCounterValue(UserDefaults& defaults, const char* key) {
    const std::int64_t n = defaults.integerForKey(key);
    // A hand-edited negative count would hand out negative numbers forever.
    if (n < 0 || n >= counterLimit) {
        defaults.setObject(Value(1), key);
        return 0;
    }
    defaults.setObject(Value(n + 1), key);
    return n;
}

std::int64_t AppController::dragIndex(UserDefaults& defaults) { return nextCounterValue(defaults, "Drag File Index"); }

std::int64_t AppController::reportCounter(UserDefaults& defaults) {
    return nextCounterValue(defaults, "Report counter");
}

double AppController::decodeVersionNumber(float value, int* betaNumber) {
    const double v = value;
    if (betaNumber) *betaNumber = int(saturatingInt32(v * 1000 + 0.01) % 10);
    return double(saturatingInt32(v * 10 + 0.001)) / 10;
}

std::string AppController::soundexForString(std::string_view text) { return kl::soundexForString(text); }

std::string AppController::searchTerms(std::string_view text) {
    std::string joined;
    for (auto& word : wex::notWhiteArgs(text)) {
        auto kept = searchWord(std::move(word));
        if (!kept) continue;
        if (!joined.empty()) joined.push_back('+');
        joined += percentEncoded(*kept);
    }
    return joined;
}

std::string AppController::searchAddress(std::string_view text, int tag) {
    return std::string(tag == webSearchTag ? kWebSearch : kMapSearch) + searchTerms(text);
}

void AppController::launchGoogleSearch(std::string_view text, int tag) {
    const std::string address = searchAddress(text, tag);
    Logger::log("URL:{}", address);
    openAddress(address);
}

void AppController::openAddress(const std::string& address) {
    std::function<void(const std::string&)> open;
    {
        std::lock_guard lock(openerMutex());
        open = opener();
    }
    if (open) open(address);
}

bool AppController::runScript(const std::string& name, int type, const std::optional<std::string>& message) {
    Logger::log("Script {} (type {}, message '{}') cannot be run yet", name, type, message.value_or(std::string()));
    return false;
}

void AppController::setAddressOpener(std::function<void(const std::string&)> f) {
    std::lock_guard lock(openerMutex());
    opener() = std::move(f);
}

}  // namespace kl
