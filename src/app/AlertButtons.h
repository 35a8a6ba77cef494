#pragma once
// AlertButtons: how an alert's optional button titles become its buttons and
// how the pressed button becomes the answer. Titles are added in the order
// default, alternate, other, skipping the missing ones; the answer is
// 1000 + the pressed button's position among those added, so a critical
// alert with only an alternate title answers 1000. With no title at all the
// alert shows its own OK button.
//
// Plain data: any thread.
#include <optional>
#include <string>
#include <vector>

namespace kl {

class AlertButtons {
public:
    enum Style { Informational = 1, Critical = 2 };
    static constexpr int firstButtonResponse = 1000;
    static constexpr const char* okTitle = "OK";

    AlertButtons(const std::optional<std::string>& def, const std::optional<std::string>& alt,
                 const std::optional<std::string>& other);

    // The titles of the buttons shown, in the order added.
    const std::vector<std::string>& titles() const { return titles_; }
    // True when no title was given and the alert shows its own OK.
    bool ownOK() const { return ownOK_; }
    static int responseForIndex(std::size_t index) { return firstButtonResponse + static_cast<int>(index); }
    // The button that Escape and closing the alert stand for: the one titled
    // "Cancel", else the only button; nullopt when there is no such button.
    std::optional<std::size_t> escapeIndex() const;
    // The answer when the alert is closed without a button.
    int responseWithoutButton() const;

private:
    std::vector<std::string> titles_;
    bool ownOK_ = false;
};

}  // namespace kl
