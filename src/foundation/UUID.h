#pragma once
// Record UUIDs: random identifiers (time-based only on a system without a
// source of randomness) in upper case, "8-4-4-4-12" hexadecimal digits, as
// GEDCOM _UID lines and merges by UUID expect. Safe on any thread.
#include <string>

namespace kl {

std::string newUUIDString();

}  // namespace kl
