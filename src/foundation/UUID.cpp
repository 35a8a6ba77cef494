#include "foundation/UUID.h"

#include <uuid/uuid.h>

namespace kl {

std::string newUUIDString() {
    uuid_t id;
    uuid_generate(id);
    char text[37];  // 36 characters and the terminator
    uuid_unparse_upper(id, text);
    return std::string(text, 36);
}

}  // namespace kl
