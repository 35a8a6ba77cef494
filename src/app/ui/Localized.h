#pragma once
// The library's text for a user-interface key; the key itself while no
// library is loaded.
#include <QString>

#include <string>

#include "model/LibraryServices.h"

namespace kl {

inline QString localized(const char* key) {
    const auto library = LibraryServices::current();
    return QString::fromStdString(library ? library->localString(key) : std::string(key));
}

}  // namespace kl
