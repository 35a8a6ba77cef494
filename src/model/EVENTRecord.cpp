#include "model/EVENTRecord.h"

#include "model/GEDCOMStructure.h"

namespace kl {

std::string EVENTRecord::viewName() const {
    auto name = firstChildWithTag("_NAM");
    return name ? name->contents() : std::string();
}

}  // namespace kl
