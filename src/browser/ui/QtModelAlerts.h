#pragma once
// QtModelAlerts: the model's questions and warnings put to the user as the
// application's own alerts (up to three buttons, the first the default),
// and its beeps as the desktop's. Installed by the program at launch, so a
// question the model asks while a record is edited reaches the user.
//
// Thread: main thread, like every alert.
#include "model/ModelAlerts.h"

namespace kl {

class QtModelAlerts : public ModelAlerts {
public:
    int runAlert(Style style, const std::string& message, const std::string& informative,
                 const std::vector<std::string>& buttons) override;
    void beep() override;
};

}  // namespace kl
