// Decoding speed of the character sets on a GEDCOM-like buffer of 16 MB.
#include <benchmark/benchmark.h>

#include <string>

#include "model/ComposedText.h"
#include "model/TextEncoding.h"

namespace {

// Mostly ASCII lines with an accented letter here and there, like a real
// database.
std::string sampleBytes(const std::string& accented) {
    std::string line = "1 NAME Jos" + accented + " /Garc" + accented + "a/\r\n2 PLAC Sevilla, Andaluc" + accented +
                       "a, Espa" + accented + "a\r\n1 BIRT\r\n2 DATE 12 MAR 1850\r\n";
    std::string out;
    while (out.size() < (16u << 20)) out += line;
    return out;
}

void decodeBench(benchmark::State& state, kl::TextEncoding encoding, const std::string& accented) {
    const std::string bytes = sampleBytes(accented);
    for (auto _ : state) benchmark::DoNotOptimize(kl::decode(bytes, encoding));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ValidateUTF8(benchmark::State& state) {
    const std::string bytes = sampleBytes("\xC3\xA9");
    for (auto _ : state) benchmark::DoNotOptimize(kl::validUTF8Length(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Composing text read from ANSEL: letters followed by their marks, as the
// decoder leaves them, made NFC (the target is 300 MB/s or more).
void BM_ComposeANSELText(benchmark::State& state) {
    std::string decomposed;
    const std::string line = "1 NAME Jose\xCC\x81 /Garci\xCC\x81" "a/\r\n2 PLAC Sevilla, Andaluci\xCC\x81" "a, Espan\xCC\x83"
                             "a\r\n1 BIRT\r\n2 DATE 12 MAR 1850\r\n";
    while (decomposed.size() < (16u << 20)) decomposed += line;
    for (auto _ : state) benchmark::DoNotOptimize(kl::unicode::composedText(decomposed));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * decomposed.size()));
}

}  // namespace

BENCHMARK(BM_ValidateUTF8);
BENCHMARK(BM_ComposeANSELText);
BENCHMARK_CAPTURE(decodeBench, UTF8, kl::TextEncoding::UTF8, "\xC3\xA9");
BENCHMARK_CAPTURE(decodeBench, Latin1, kl::TextEncoding::ISOLatin1, "\xE9");
BENCHMARK_CAPTURE(decodeBench, Windows1252, kl::TextEncoding::Windows1252, "\xE9");
BENCHMARK_CAPTURE(decodeBench, MacOSRoman, kl::TextEncoding::MacOSRoman, "\x8E");
BENCHMARK_CAPTURE(decodeBench, ANSEL, kl::TextEncoding::ANSEL, "\xE2");
BENCHMARK_CAPTURE(decodeBench, UTF16, kl::TextEncoding::UTF16LittleEndian, std::string("\xE9\x00", 2));
BENCHMARK_MAIN();
