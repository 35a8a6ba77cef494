#pragma once
// IndexStyleLibrary: the column styles of the application, one per record
// type for the index windows and one per type for the record pickers, made
// from the default style on first request and shared by every window that
// asks; album styles belong to their document. The styles are read from the
// user defaults ("Index Column Settings", "Panel Column Settings") when the
// library is made and written back by saveStyles at shut-down.
//
// Ownership: owns its cached styles; borrows the user defaults, which must
// outlive it. Thread: main thread.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"

namespace kl {

class GEDCOMDocument;
class IndexStyle;
class UserDefaults;

class IndexStyleLibrary {
public:
    static constexpr const char* kIndexColumnSettings = "Index Column Settings";
    static constexpr const char* kPanelColumnSettings = "Panel Column Settings";

    explicit IndexStyleLibrary(UserDefaults& defaults);

    // Album types take the document's album style (the default album style
    // without a document).
    std::shared_ptr<IndexStyle> indexStyleForType(const std::string& type, GEDCOMDocument* doc);
    std::shared_ptr<IndexStyle> panelStyleForType(const std::string& type);
    // A stored form replaces the type's style; nullopt forgets it, so the
    // next request makes the default.
    void replaceIndexPreference(const std::optional<Array>& stored, const std::string& type);
    void saveStyles();

private:
    using Styles = std::map<std::string, std::shared_ptr<IndexStyle>>;
    static Styles read(const UserDefaults& defaults, const char* key);
    static std::shared_ptr<IndexStyle> cached(Styles& styles, const std::string& type);

    UserDefaults& defaults_;
    Styles indexStyles_;
    Styles panelStyles_;
};

}  // namespace kl
