#pragma once
// A German locale (decimal comma) for the tests that guard number text
// against LC_NUMERIC. Takes an installed one, else compiles one with
// localedef into a shared temporary folder named by LOCPATH. Null when neither
// works; callers skip then. Use it per thread with uselocale().
#include <locale.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace kl::test {

class GermanLocale {
public:
    static locale_t get() {
        static GermanLocale instance;
        return instance.locale_;
    }

private:
    GermanLocale() {
        locale_ = installed();
        if (!locale_) locale_ = compiled();
    }
    ~GermanLocale() {
        if (locale_) freelocale(locale_);
    }

    static locale_t installed() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE.ISO-8859-1"})
            if (locale_t l = newlocale(LC_ALL_MASK, name, locale_t(0))) return l;
        return locale_t(0);
    }

    // Compiled once per machine into a shared temporary folder (compiling
    // takes seconds and every test runs in its own process); a fresh copy
    // is built aside and renamed into place, so concurrent tests never see
    // half a locale.
    static locale_t compiled() {
        if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE")) return locale_t(0);
        const auto shared = std::filesystem::temp_directory_path() / "kl-test-locales";
        const auto target = shared / "de_DE.UTF-8";
        std::error_code ec;
        if (!std::filesystem::exists(target / "LC_NUMERIC", ec)) {
            std::filesystem::create_directories(shared, ec);
            const auto fresh = shared / ("build-" + std::to_string(::getpid()));
            const std::string command = "localedef -i de_DE -f UTF-8 '" + fresh.string() + "' >/dev/null 2>&1";
            // localedef answers 1 for mere warnings: judge by whether the locale loads.
            (void)std::system(command.c_str());
            std::filesystem::rename(fresh, target, ec);
            if (ec) std::filesystem::remove_all(fresh, ec);
        }
        ::setenv("LOCPATH", shared.c_str(), 1);
#if defined(__SANITIZE_ADDRESS__)
        // glibc keeps the parsed LOCPATH list of this call for good.
        __lsan::ScopedDisabler keepTheLeakCheckerQuiet;
#endif
        return newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t(0));
    }

    locale_t locale_ = locale_t(0);
};

// Switches the calling thread to a locale for the length of a scope.
class ThreadLocaleScope {
public:
    explicit ThreadLocaleScope(locale_t l) : previous_(uselocale(l)) {}
    ~ThreadLocaleScope() { uselocale(previous_); }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

private:
    locale_t previous_;
};

}  // namespace kl::test
