#include "script/ISNoneType.h"

namespace kl {

std::optional<std::string> ISNoneType::klis_getAttribute(const std::string& name, ISInterpreter*) {
    return name == "class" ? std::string("none") : std::string();
}

bool ISNoneType::klis_setAttribute(const std::string&, const std::string&, ISInterpreter*) {
    return false;
}

std::shared_ptr<Object> ISNoneType::klis_getObjectAttribute(const std::string&,
                                                            ISInterpreter* sender) {
    return sender ? sender->scriptObject("None") : nullptr;
}

}  // namespace kl
