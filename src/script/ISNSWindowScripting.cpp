#include "script/ISNSWindowScripting.h"

#include "foundation/Numbers.h"
#include "script/ISListType.h"
#include "script/ScriptValueText.h"

namespace kl {

std::string ISNSWindowScripting::frameText(const Frame& f) {
    auto n = [](double v) { return formatGeneral(v, 8); };
    return "{{" + n(f[0]) + ", " + n(f[1]) + "}, {" + n(f[2]) + ", " + n(f[3]) + "}}";
}

std::optional<std::string> ISNSWindowScripting::klis_getAttribute(const std::string& name,
                                                                  ISInterpreter* sender) {
    if (name == "id") return "ID" + std::to_string(windowIdentifier());
    if (name == "name") return readName(sender);
    if (name == "class") return std::string("window");
    return std::nullopt;
}

bool ISNSWindowScripting::klis_setAttribute(const std::string& name, const std::string& value,
                                            ISInterpreter* sender) {
    if (name == "name") {
        setWindowName(value, sender);
        return true;
    }
    if (name != "bounds" || !sender) return false;
    auto list = std::dynamic_pointer_cast<ISListType>(sender->scriptObject(value));
    if (!list || list->count() < 4) return false;
    Frame frame{};
    for (std::size_t i = 0; i < 4; ++i) {
        auto number = scriptNumberOf(list->objectAtIndex(i));
        if (!number) return false;
        frame[i] = *number;
    }
    setWindowFrame(frameText(frame), sender);
    return true;
}

std::shared_ptr<Object> ISNSWindowScripting::klis_getObjectAttribute(const std::string& name,
                                                                     ISInterpreter* sender) {
    if (name == "document") {
        if (auto document = readDocument(sender)) return document;
        return sender ? sender->scriptObject("None") : nullptr;
    }
    if (name == "bounds") {
        const Frame frame = readFrame(sender).value_or(Frame{});
        auto items = std::make_shared<Array>();
        for (double v : frame) items->push_back(Value(v));
        return ISListType::listWithList(items);
    }
    return nullptr;
}

}  // namespace kl
