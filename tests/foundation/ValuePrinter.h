#pragma once
// Readable failure output for Value comparisons in tests.
#include <ostream>

#include "foundation/PropertyList.h"
#include "foundation/Value.h"

namespace kl {

inline void PrintTo(const Value& value, std::ostream* os) {
    if (auto xml = PropertyList::writeXML(value)) {
        const auto open = xml->find("<plist");
        *os << (open == std::string::npos ? *xml : xml->substr(open));
    } else {
        *os << "<value of type " << static_cast<int>(value.type()) << ">";
    }
}

inline void PrintTo(const Dictionary& d, std::ostream* os) { PrintTo(Value(d), os); }

}  // namespace kl
