// Any bytes imported as a plain GEDCOM file: the read either opens a
// document or fails with a message.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kl;
    const auto file = fuzz::scratchFolder() / "import.ged";
    fuzz::writeBytes(file, std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::FuzzDocument f;
    std::string error;
    if (f.document->readFromURL(file, GEDCOMDocument::kGEDCOMType, &error)) f.document->importFileName();
    return 0;
}
