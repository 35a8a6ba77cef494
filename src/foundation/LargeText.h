#pragma once
// Room for a whole file's text in one string. Filling fresh memory costs a
// fault for every 4 KiB page, which on a virtual machine made up a third of
// reading or writing a 16 MB file; a large text asks the system for huge
// pages instead, so it takes a few faults. The request is a hint: without
// huge pages the text works the same.
//
// Thread: any thread; touches only the string it is given.
#include <cstddef>
#include <string>

namespace kl {

// Reserves room for `bytes` in `text` (which keeps what it holds).
void reserveLargeText(std::string& text, std::size_t bytes);

}  // namespace kl
