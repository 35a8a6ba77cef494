// Where a multimedia file lies: stored forms relative to the root folders
// or the document's folder, "~"-abbreviated absolute paths, format words and
// paths relative to an exported file. Roots are compared component by
// component, so "~/Pictures/" never matches "~/PicturesOld/a.jpg".
#include <filesystem>
#include <system_error>

#include "foundation/TildePath.h"
#include "model/OBJERecord.h"
#include "foundation/Utf8.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

bool existsAt(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::exists(path, error);
}

std::string lastComponent(const std::string& path) {
    auto components = OBJERecord::pathComponents(path);
    return components.empty() ? std::string() : components.back();
}

std::size_t wordCount(std::string_view text) {
    std::size_t words = 0;
    bool inWord = false;
    for (char c : text) {
        const bool white = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        if (!white && !inWord) ++words;
        inWord = !white;
    }
    return words;
}

std::string joined(const std::vector<std::string>& components, std::size_t from) {
    std::string out;
    for (std::size_t i = from; i < components.size(); ++i) {
        if (components[i] == "/") continue;
        if (!out.empty()) out += '/';
        out += components[i];
    }
    return out;
}

// A root as the abbreviated path is written, so that a root entered with
// the home folder spelled out still matches.
std::string comparableRoot(const std::string& root) {
    const bool folder = !root.empty() && root.back() == '/';
    std::string form = abbreviateWithTilde(OBJERecord::standardizedPath(root));
    if (folder && (form.empty() || form.back() != '/')) form += '/';
    return form;
}

std::optional<OBJERecord::Resolved> inRoot(const std::string& abbreviated, const std::string& root) {
    auto relative = OBJERecord::mmFile(OBJERecord::pathComponents(abbreviated),
                                       OBJERecord::pathComponents(comparableRoot(root)));
    if (!relative) return std::nullopt;
    return OBJERecord::Resolved{*relative, root};
}

// The candidate in the first root, else in the document's folder, that has
// a file of that name.
std::optional<OBJERecord::Resolved> searchCandidate(const std::string& candidate, const OBJERecord::Roots& roots,
                                                    const OBJERecord::DocumentFile& documentFile) {
    for (const auto& root : roots)
        if (existsAt(OBJERecord::standardizedPath(root + candidate))) return OBJERecord::Resolved{candidate, root};
    if (auto folder = OBJERecord::defaultMMLibrary(documentFile))
        if (existsAt(OBJERecord::standardizedPath(*folder + "/" + candidate)))
            return OBJERecord::Resolved{candidate, *folder + "/"};
    return std::nullopt;
}

}  // namespace

std::string OBJERecord::Resolved::fullPath() const {
    return standardizedPath(root ? *root + stored : stored);
}

std::vector<std::string> OBJERecord::pathComponents(std::string_view path) {
    std::vector<std::string> components;
    if (path.empty()) return components;
    if (path.front() == '/') components.emplace_back("/");
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t slash = path.find('/', at);
        const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        if (end > at) components.emplace_back(path.substr(at, end - at));
        at = end + 1;
    }
    if (path.size() > 1 && path.back() == '/') components.emplace_back("/");
    return components;
}

std::string OBJERecord::standardizedPath(std::string_view path) {
    if (path.empty()) return {};
    std::string normal = fs::path(expandTilde(path)).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal.empty() ? std::string(".") : normal;
}

std::optional<std::string> OBJERecord::mmFile(const std::vector<std::string>& fileComponents,
                                              const std::vector<std::string>& rootComponents) {
    if (rootComponents.empty()) return std::nullopt;
    const std::size_t compared = rootComponents.size() - 1;
    if (fileComponents.size() < compared) return std::nullopt;
    for (std::size_t i = 0; i < compared; ++i)
        if (fileComponents[i] != rootComponents[i]) return std::nullopt;
    std::string relative = joined(fileComponents, compared);
    // The root folder itself is no file inside it.
    if (relative.empty()) return std::nullopt;
    return relative;
}

std::optional<std::string> OBJERecord::defaultMMLibrary(const DocumentFile& documentFile) {
    if (!documentFile || documentFile->empty()) return std::nullopt;
    // A package is a folder: its path may end in "/".
    std::string file = standardizedPath(documentFile->string());
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) return std::nullopt;
    return abbreviateWithTilde(slash == 0 ? "/" : file.substr(0, slash));
}

bool OBJERecord::inRealMMLibrary(const std::string& root, const Roots& roots, const DocumentFile& documentFile) {
    for (const auto& listed : roots)
        if (root == listed) return true;
    auto folder = defaultMMLibrary(documentFile);
    return folder && root == *folder + "/";
}

std::optional<OBJERecord::Resolved> OBJERecord::multimediaFile(const std::string& path, const Roots& roots,
                                                               const DocumentFile& documentFile) {
    if (path.empty()) return std::nullopt;
    const std::string standard = standardizedPath(path);
    const bool absolute = !standard.empty() && standard.front() == '/';
    if (absolute && existsAt(standard)) {
        const std::string abbreviated = abbreviateWithTilde(standard);
        for (const auto& root : roots)
            if (auto found = inRoot(abbreviated, root)) return found;
        if (auto folder = defaultMMLibrary(documentFile))
            if (auto found = inRoot(abbreviated, *folder + "/")) return found;
        return Resolved{abbreviated, std::nullopt};
    }
    const std::string candidate = absolute ? lastComponent(standard) : path;
    if (auto found = searchCandidate(candidate, roots, documentFile)) return found;
    const std::string name = lastComponent(candidate);
    if (!name.empty() && name != candidate) return searchCandidate(name, roots, documentFile);
    return std::nullopt;
}

std::optional<std::string> OBJERecord::multimediaFilePath(const std::string& stored, const Roots& roots,
                                                          const DocumentFile& documentFile) {
    auto found = multimediaFile(stored, roots, documentFile);
    if (!found) return std::nullopt;
    return found->fullPath();
}

std::string OBJERecord::getMmFileFormat(const std::string& path, const std::optional<std::string>& /*root*/) {
    const std::string name = lastComponent(path);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        const std::string extension = name.substr(dot + 1);
        const std::size_t length = utf8::countCharacters(extension);
        const bool oneWord = wordCount(extension) < 2;
        if (length >= 1 && length <= 12 && oneWord) return extension;
    }
    // Linux files carry no type code, so only the extension can tell.
    return kUnknownFormat;
}

std::string OBJERecord::exportMultimediaFile(const std::string& fullPath, const std::string& exportFile) {
    const std::string exported = standardizedPath(exportFile);
    const std::size_t slash = exported.rfind('/');
    if (slash == std::string::npos) return fullPath;
    const auto folder = pathComponents(slash == 0 ? "/" : exported.substr(0, slash));
    const auto file = pathComponents(fullPath);
    if (file.size() <= folder.size()) return fullPath;
    for (std::size_t i = 0; i < folder.size(); ++i)
        if (folder[i] != file[i]) return fullPath;
    return joined(file, folder.size());
}

std::string OBJERecord::uniqueFileName(const std::string& path) {
    if (!existsAt(path)) return path;
    const fs::path asPath(path);
    const std::string extension = asPath.extension().string();
    const std::string base = path.substr(0, path.size() - extension.size());
    for (int n = 1;; ++n) {
        std::string candidate = base + " " + std::to_string(n) + extension;
        if (!existsAt(candidate)) return candidate;
    }
}

}  // namespace kl
