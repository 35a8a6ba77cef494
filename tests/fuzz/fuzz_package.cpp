// A package folder built from the bytes: the GEDCOM file, then, after a
// "\n--attributes--\n" line, the attribute list (a fixed one without it).
// Whatever opens is saved, and the saved package must open again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzSupport.h"
#include "foundation/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kl;
    namespace fs = std::filesystem;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const fs::path package = fuzz::scratchFolder() / "In.gedpkg";
    const fs::path saved = fuzz::scratchFolder() / "Out.gedpkg";
    std::error_code ignored;
    fs::remove_all(package, ignored);
    fs::create_directories(package);
    constexpr std::string_view kSeparator = "\n--attributes--\n";
    const std::size_t cut = bytes.find(kSeparator);
    fuzz::writeBytes(package / "In.ged", bytes.substr(0, cut));
    if (cut != std::string_view::npos)
        fuzz::writeBytes(package / "attributes.plist", bytes.substr(cut + kSeparator.size()));
    else
        PropertyList::writeFile(Value(Dictionary{{"Version", 1}, {"Encoding", 4}}), package / "attributes.plist");

    fuzz::FuzzDocument first;
    if (!first.document->readFromURL(package, GEDCOMDocument::kPackageType)) return 0;
    fs::remove_all(saved, ignored);
    std::string error;
    if (!first.document->saveToURL(saved, &error)) return 0;
    fuzz::FuzzDocument second;
    if (!second.document->readFromURL(saved, GEDCOMDocument::kPackageType, &error)) {
        std::fprintf(stderr, "a saved package does not open again: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}
