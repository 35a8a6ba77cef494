#pragma once
// What a format load asks of the library folder that owns the format's
// state: saving the settings of the format being left, reading the new
// one's editing settings, language table and event lists, marking it in the
// menus, and telling the user when it is newer than the program. The
// library folder implements it; tests give a recorder.
//
// Thread: main thread, called from inside Templates::readFormatAtPath().
#include <filesystem>
#include <string>

namespace kl {

class TemplatesDelegate {
public:
    virtual ~TemplatesDelegate() = default;
    virtual void saveCurrentFormat() {}
    // Raises "KLFileReadError" when the list cannot be read.
    virtual void createEditingPreferences(const std::filesystem::path& editingList) = 0;
    // false when the language list could not be read.
    virtual bool createEditingStrings(const std::filesystem::path& languageList) = 0;
    virtual void createIndiFamEvents(const std::filesystem::path& eventList, const std::string& type) = 0;
    virtual void checkCurrentFormat() {}
    virtual void infoAlert(const std::string& message, const std::string& information) = 0;
};

}  // namespace kl
