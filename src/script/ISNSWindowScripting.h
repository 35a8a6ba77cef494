#pragma once
// A window as a script object. The attribute rules live here; the window
// toolkit adapter supplies the accessors, each of which runs its work on the
// main thread and waits, since scripts call in from their own thread.
// The adapter is owned by the script objects that name it and must not
// outlive its window's controller.
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "model/ISScripting.h"

namespace kl {

class ISNSWindowScripting : public ISScripting {
public:
    using Frame = std::array<double, 4>;  // x, y, width, height

    std::optional<std::string> klis_getAttribute(const std::string& name,
                                                 ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value,
                           ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name,
                                                    ISInterpreter* sender) override;

    // "{{x, y}, {width, height}}", the text form in which a frame is handed
    // to the main thread.
    static std::string frameText(const Frame& frame);

protected:
    // A number that identifies the window while it exists.
    virtual long windowIdentifier() const = 0;
    virtual std::string readName(ISInterpreter* sender) = 0;
    virtual void setWindowName(const std::string& name, ISInterpreter* sender) = 0;
    // nullopt when there is no window any more.
    virtual std::optional<Frame> readFrame(ISInterpreter* sender) = 0;
    virtual void setWindowFrame(const std::string& frameText, ISInterpreter* sender) = 0;
    // The window's document when its controller is a document window
    // controller, else nullptr.
    virtual std::shared_ptr<Object> readDocument(ISInterpreter* sender) = 0;
};

}  // namespace kl
