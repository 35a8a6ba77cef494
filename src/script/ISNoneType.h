#pragma once
// The None value of internal scripts: every text attribute but "class" reads
// empty and every object attribute is the running script's own None object.
// Plain data of the script thread.
#include <memory>

#include "foundation/Value.h"
#include "model/ISScripting.h"

namespace kl {

class ISNoneType : public ISScripting {
public:
    static std::shared_ptr<ISNoneType> none() { return std::make_shared<ISNoneType>(); }

    std::optional<std::string> klis_getAttribute(const std::string& name,
                                                 ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value,
                           ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name,
                                                    ISInterpreter* sender) override;
};

}  // namespace kl
