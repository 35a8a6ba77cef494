#pragma once
// ScriptApplication: the application object that scripts reach as
// "klapp". The outside-scripting layer gives it its attributes; until then
// it is an object that answers none.
//
// Thread: asked from the script thread; an implementation that reads the
// user interface hands the read to the main thread and waits.
#include <memory>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "model/ISScripting.h"

namespace kl {

class ScriptApplication : public ISScripting {
public:
    std::optional<std::string> klis_getAttribute(const std::string&, ISInterpreter*) override { return std::nullopt; }
    bool klis_setAttribute(const std::string&, const std::string&, ISInterpreter*) override { return false; }
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string&, ISInterpreter*) override { return nullptr; }
};

}  // namespace kl
