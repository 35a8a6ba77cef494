#include "model/ComposedText.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>

#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace kl::unicode {

namespace {

// Index of the first byte at or after `i` that is not ASCII; n when none.
std::size_t nextHighByte(const char* p, std::size_t i, std::size_t n) {
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
}

constexpr std::size_t kLongestRemembered = 7;

}  // namespace

// Composition never reaches across an ASCII character after a run of other
// characters (no composite ends in ASCII), and only the one ASCII character
// before such a run can take its marks. So ICU sees each run with the
// letter before it, and nothing of the plain ASCII that makes up most of a
// file. The same short runs ("e" and an acute) come back again and again:
// ICU's answer for each is remembered for the rest of the text.
std::string composedText(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    icu::StringByteSink<std::string> sink(&out);
    std::unordered_map<std::uint64_t, std::string> remembered;
    auto normalize = [nfc](std::string_view run, icu::ByteSink& to) {
        UErrorCode error = U_ZERO_ERROR;
        nfc->normalizeUTF8(0, icu::StringPiece(run.data(), static_cast<std::int32_t>(run.size())), to, nullptr,
                           error);
        return U_SUCCESS(error);
    };
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t copied = 0;
    for (std::size_t i = nextHighByte(p, 0, n); i < n; i = nextHighByte(p, i, n)) {
        const std::size_t start = i > copied ? i - 1 : i;
        std::size_t end = i;
        while (end < n && static_cast<unsigned char>(p[end]) >= 0x80) ++end;
        out.append(p + copied, start - copied);
        const std::string_view run(p + start, end - start);
        if (run.size() <= kLongestRemembered) {
            std::uint64_t key = std::uint64_t{run.size()} << 56;
            for (std::size_t k = 0; k < run.size(); ++k)
                key |= std::uint64_t{static_cast<unsigned char>(run[k])} << (8 * k);
            auto found = remembered.find(key);
            if (found == remembered.end()) {
                std::string composed;
                icu::StringByteSink<std::string> into(&composed);
                if (!normalize(run, into)) composed.assign(run);
                found = remembered.emplace(key, std::move(composed)).first;
            }
            out.append(found->second);
        } else {
            const std::size_t before = out.size();
            if (!normalize(run, sink)) {
                out.resize(before);
                out.append(run);
            }
        }
        copied = end;
        i = end;
    }
    out.append(p + copied, n - copied);
    return out;
}

}  // namespace kl::unicode
