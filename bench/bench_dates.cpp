// Speed of the date engine: validating and normalising date texts as records
// are read and edited, and day numbers as lists are sorted.
#include "dates/DateBridge.h"
#include "dates/DateSettings.h"
#include "dates/FullDate.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> mixedDates(std::size_t count)
{
    static const char* const kMonths[] = {"JAN", "feb", "Mar", "APR", "May", "JUN", "jul", "AUG", "Sept", "OCT", "nov", "December"};
    std::mt19937 rng(1850);
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int year = 1500 + static_cast<int>(rng() % 520);
        const int day = 1 + static_cast<int>(rng() % 28);
        const std::string month = kMonths[rng() % 12];
        const std::string y = std::to_string(year);
        switch (rng() % 12) {
        case 0: texts.push_back(std::to_string(day) + " " + month + " " + y); break;
        case 1: texts.push_back("abt " + y); break;
        case 2: texts.push_back("BET " + y + " AND " + std::to_string(year + 5)); break;
        case 3: texts.push_back(month + " " + y); break;
        case 4: texts.push_back("@#DJULIAN@ " + std::to_string(day) + " " + month + " " + y); break;
        case 5: texts.push_back(std::to_string(day) + "/" + std::to_string(1 + day % 12) + "/" + y); break;
        case 6: texts.push_back("c" + y); break;
        case 7: texts.push_back("FROM " + y + " TO " + std::to_string(year + 3)); break;
        case 8: texts.push_back(std::to_string(day) + " TSH 5760"); break;
        case 9: texts.push_back("INT " + y + " (family bible)"); break;
        case 10: texts.push_back("31 APR " + y); break;
        default: texts.push_back(y); break;
        }
    }
    return texts;
}

void ValidateAndNormalise(benchmark::State& state)
{
    const std::vector<std::string> texts = mixedDates(1000000);
    for (auto _ : state) {
        bool valid = false;
        std::size_t length = 0;
        for (const std::string& text : texts)
            length += kl::validateDateString(text, valid).size();
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(ValidateAndNormalise)->Unit(benchmark::kMillisecond);

void ParseAndNormaliseWithSettingsInHand(benchmark::State& state)
{
    const std::vector<std::string> texts = mixedDates(1000000);
    const kl::DateSettings settings;
    for (auto _ : state) {
        std::size_t length = 0;
        kl::FullDate date;
        for (const std::string& text : texts)
            if (date.parse(text, 0, settings) == 0)
                length += date.format(kl::DateFormat::normalized()).size();
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(ParseAndNormaliseWithSettingsInHand)->Unit(benchmark::kMillisecond);

void ExactDateToSdn(benchmark::State& state)
{
    kl::FullDate date;
    date.parse("MAR 1850", 0, kl::DateSettings{});
    kl::ExactDate exact = *date.firstDate();
    int year = 1000;
    for (auto _ : state) {
        exact.setYear(1000 + (year++ & 1023));
        benchmark::DoNotOptimize(exact.toSdn(kl::ExactDate::kMiddle));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ExactDateToSdn);

void HebrewToSdn(benchmark::State& state)
{
    int year = 5000;
    for (auto _ : state)
        benchmark::DoNotOptimize(kl::hebrewDateToSdn(5000 + (year++ & 1023), 8, 15));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(HebrewToSdn);

} // namespace

BENCHMARK_MAIN();
