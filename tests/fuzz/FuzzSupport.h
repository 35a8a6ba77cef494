#pragma once
// What the document fuzz targets share: a scratch folder in memory where
// there is one, a window-free UI that waits without sleeping, and a
// document wired to it whose saves skip the flush to disk (a fuzz run
// writes thousands of packages nobody keeps).
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "document/CharacterSetQuestion.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "foundation/ByteSink.h"

namespace kl::fuzz {

namespace fs = std::filesystem;

// Removed when the run ends (libFuzzer ends a timed run with exit()).
class ScratchFolder {
public:
    ScratchFolder() {
        const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        path_ = base / ("kl-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

inline const fs::path& scratchFolder() {
    static const ScratchFolder folder;
    return folder.path();
}

inline void writeBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class BusyUI : public DocumentUI {
public:
    bool pauseIn(KLProgress& task, double) override {
        while (task.stillRunning()) std::this_thread::yield();
        return false;
    }
    void runProgress(KLProgress& task, const std::string&, const std::string&, double) override {
        while (task.stillRunning()) std::this_thread::yield();
    }
};

// Answers the character-set question with MacOS Roman, as a user might.
class RomanQuestion : public CharacterSetQuestion {
public:
    std::optional<CharacterSetChoice> getCharacterSet(const std::optional<std::string>&, uint32_t) override {
        return CharacterSetChoice{30, "MacOS Roman"};
    }
};

// Writes like a file sink but leaves the flush to the system.
class UnsyncedSink final : public ByteSink {
public:
    explicit UnsyncedSink(const fs::path& path) : file_(path) {}
    void write(std::string_view bytes) override { file_.write(bytes); }

private:
    FileSink file_;
};

struct FuzzDocument {
    BusyUI ui;
    RomanQuestion question;
    std::unique_ptr<GEDCOMDocument> document = std::make_unique<GEDCOMDocument>();

    FuzzDocument() {
        document->setUI(&ui);
        document->setCharacterSetQuestion(&question);
        document->setSinkFactory([](const fs::path& p) { return std::make_unique<UnsyncedSink>(p); });
        document->setPathSync([](const fs::path&) { return true; });
    }
};

}  // namespace kl::fuzz
