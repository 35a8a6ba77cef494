#include "app/RecentDocuments.h"

#include <algorithm>

#include "app/LibraryFolder.h"
#include "foundation/Value.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSampleDatabase = LibraryFolder::sampleDatabase;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A package path may be given with its trailing "/".
std::string withoutSlash(std::string text) {
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

}  // namespace

bool RecentDocuments::isListable(const fs::path& path) {
    const std::string text = withoutSlash(path.string());
    const std::string extension = lowered(fs::path(text).extension().string());
    if (extension == ".kfrmt" || extension == ".kplug") return false;
    return !(text.size() > kSampleDatabase.size() && text.ends_with(kSampleDatabase));
}

bool RecentDocuments::noteNewRecentDocumentURL(const fs::path& path) {
    if (!isListable(path)) return false;
    const std::string text = withoutSlash(path.string());
    Array list{Value(text)};
    for (const fs::path& known : recentDocumentURLs())
        if (known.string() != text && list.size() < maximumCount) list.push_back(Value(known.string()));
    defaults_.setObject(Value(std::move(list)), defaultsKey);
    return true;
}

std::vector<fs::path> RecentDocuments::recentDocumentURLs() const {
    std::vector<fs::path> paths;
    if (auto list = defaults_.arrayForKey(defaultsKey))
        for (const Value& item : *list)
            if (auto text = item.string(); text && !text->empty()) paths.emplace_back(*text);
    return paths;
}

void RecentDocuments::clearRecentDocuments() { defaults_.removeObjectForKey(defaultsKey); }

}  // namespace kl
