#pragma once
// Doubles and helpers for document tests: a scratch folder, the character-
// set question answered from a script, a UI that can cancel, the GEDCOM
// text a document holds, and snapshots of package folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "document/CharacterSetQuestion.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "model/GEDCOMRecord.h"

namespace kl::test {

namespace fs = std::filesystem;

class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> counter{0};
        path_ = fs::temp_directory_path() /
                ("kl-document-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

inline void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every file under a folder with its bytes, by relative path.
inline std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        files[fs::relative(entry.path(), folder).string()] = entry.is_regular_file() ? readFile(entry.path()) : "<dir>";
    return files;
}

// Answers the question with a fixed choice (nullopt: Cancel) and notes
// what it was asked.
class QuestionDouble : public CharacterSetQuestion {
public:
    explicit QuestionDouble(std::optional<CharacterSetChoice> answer = CharacterSetChoice{30, "MacOS Roman"})
        : answer_(std::move(answer)) {}
    std::optional<CharacterSetChoice> getCharacterSet(const std::optional<std::string>& guess,
                                                      uint32_t suggested) override {
        ++asked;
        lastGuess = guess;
        lastSuggested = suggested;
        return answer_;
    }
    int asked = 0;
    std::optional<std::string> lastGuess;
    uint32_t lastSuggested = 0;

private:
    std::optional<CharacterSetChoice> answer_;
};

// Waits for the worker without sleeping a second first; may cancel it, or
// press Cancel only once the worker has finished (a late click). Notes the
// change-count news and the threads they came on.
class UIDouble : public DocumentUI {
public:
    bool pauseIn(KLProgress& task, double) override {
        if (cancel) task.cancelAction();
        if (cancelLate) {
            while (task.stillRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            task.cancelAction();
        }
        return task.stillRunning();
    }
    void changeCountChanged(GEDCOMDocument& document) override {
        edited.push_back(document.isDocumentEdited());
        if (std::this_thread::get_id() != mainThread) ++offThread;
    }
    void runProgress(KLProgress& task, const std::string&, const std::string&, double) override {
        while (task.stillRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::string currentType() override { return type; }
    void showReadAlert(const std::vector<std::string>& alert) override { alerts.push_back(alert); }
    bool confirmAutosave() override {
        ++prompts;
        return answerSave;
    }
    void saveDocument(GEDCOMDocument&) override { ++saves; }

    bool cancel = false;
    bool cancelLate = false;
    std::vector<bool> edited;  // isDocumentEdited at each change-count news
    int offThread = 0;
    std::thread::id mainThread = std::this_thread::get_id();
    std::string type = "INDI";
    std::vector<std::vector<std::string>> alerts;
    int prompts = 0;
    bool answerSave = true;
    int saves = 0;
};

// The records' GEDCOM text in the order a package save writes them, without
// touching the header's stamps.
inline std::string recordsText(GEDCOMDocument& document, bool withHeader = true) {
    const RecordsIndices& index = document.gedcomModel().recordsIndex();
    std::string text;
    auto append = [&](const std::shared_ptr<GEDCOMRecord>& record) {
        if (record && (withHeader || !record->isType("HEAD"))) text += record->gedcomString();
    };
    append(index.header());
    append(index.submission());
    for (const char* type : {"SUBM", "INDI", "FAM", "SOUR", "REPO", "NOTE", "OBJE", "_LOG", "_PLC", "_BOK"})
        if (auto list = index.listForType(type))
            for (const auto& record : list->order()) append(record);
    for (const auto& list : index.lists())
        if (list->listType() == ListUserDefinedType)
            for (const auto& record : list->order()) append(record);
    if (auto corrupted = index.listForType(RecordsIndices::kCorrupted))
        for (const auto& record : corrupted->order())
            if (record->isCorrupt(CorruptDuplicateID | CorruptExtraRecord)) append(record);
    return text;
}

// A document wired to the doubles.
struct DocumentFixture {
    QuestionDouble question;
    UIDouble ui;
    std::unique_ptr<GEDCOMDocument> document = make();

    std::unique_ptr<GEDCOMDocument> make() {
        auto d = std::make_unique<GEDCOMDocument>();
        d->setCharacterSetQuestion(&question);
        d->setUI(&ui);
        return d;
    }
    bool open(const fs::path& path, const std::string& type, std::string* error = nullptr) {
        document = make();
        return document->readFromURL(path, type, error);
    }
    bool import(const fs::path& path, std::string* error = nullptr) {
        return open(path, GEDCOMDocument::kGEDCOMType, error);
    }
    bool openPackage(const fs::path& path, std::string* error = nullptr) {
        return open(path, GEDCOMDocument::kPackageType, error);
    }
};

}  // namespace kl::test
