#include "model/ComposedText.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>

#include <cstdint>
#include <cstring>

namespace kl::unicode {

namespace {

bool hasHighByte(const char* p, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL) return true;
    }
    for (; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80) return true;
    return false;
}

}  // namespace

std::string composedText(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    icu::StringByteSink<std::string> sink(&out);
    // A mark never composes across a line break, so each line stands alone
    // and ICU sees only the lines that are not plain ASCII.
    std::size_t start = 0;
    while (start < text.size()) {
        const void* found = std::memchr(text.data() + start, '\n', text.size() - start);
        const std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) + 1
                                      : text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!hasHighByte(line.data(), line.size())) {
            out.append(line);
        } else {
            status = U_ZERO_ERROR;
            nfc->normalizeUTF8(0, icu::StringPiece(line.data(), static_cast<int32_t>(line.size())), sink, nullptr,
                               status);
            if (U_FAILURE(status)) out.append(line);
        }
        start = end;
    }
    return out;
}

}  // namespace kl::unicode
