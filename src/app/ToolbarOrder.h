#pragma once
// ToolbarOrder: what a customisable toolbar may hold, its default order,
// and the order a user chose, kept in the user defaults under
// "NSToolbar Configuration <identifier>" so every later window with that
// toolbar shows it. Separators and spaces may repeat; any other item is
// shown once, and an identifier the toolbar does not allow is dropped.
//
// Values only; the user defaults are borrowed. Thread: main thread.
#include <string>
#include <vector>

namespace kl {

class UserDefaults;

class ToolbarOrder {
public:
    static constexpr const char* kItemIdentifiersKey = "TB Item Identifiers";

    static constexpr const char* kSeparator = "NSToolbarSeparatorItem";
    static constexpr const char* kSpace = "NSToolbarSpaceItem";
    static constexpr const char* kFlexibleSpace = "NSToolbarFlexibleSpaceItem";
    static constexpr const char* kCustomize = "NSToolbarCustomizeToolbarItem";
    static constexpr const char* kPrint = "NSToolbarPrintItem";

    ToolbarOrder(const std::string& identifier, std::vector<std::string> allowed, std::vector<std::string> defaults);

    const std::string& identifier() const { return identifier_; }
    const std::string& configurationKey() const { return configurationKey_; }
    const std::vector<std::string>& allowedItemIdentifiers() const { return allowed_; }
    const std::vector<std::string>& defaultItemIdentifiers() const { return defaults_; }

    static bool repeatable(const std::string& identifier);
    std::vector<std::string> sanitized(const std::vector<std::string>& identifiers) const;
    // The stored order, else the default.
    std::vector<std::string> itemIdentifiers(const UserDefaults& defaults) const;
    void saveItemIdentifiers(UserDefaults& defaults, const std::vector<std::string>& identifiers) const;

private:
    std::string identifier_;
    std::string configurationKey_;
    std::vector<std::string> allowed_;
    std::vector<std::string> defaults_;
};

}  // namespace kl
