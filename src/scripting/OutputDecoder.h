#pragma once
// OutputDecoder: turns a child's output, read in chunks of any size, into
// UTF-8 text. A multi-byte sequence cut by the end of a chunk is kept for
// the next one, so a character split across two reads arrives whole; only
// bytes that are invalid in themselves fall back to Mac OS Roman, one
// character each. finish() gives what is left at the end of the stream.
//
// Ownership: a value, one per stream. Thread: the thread that reads.
#include <string>
#include <string_view>

namespace kl {

class OutputDecoder {
public:
    std::string decode(std::string_view chunk);
    // The end of the stream: a sequence left unfinished is Mac OS Roman.
    std::string finish();

    // A whole buffer at once, as the synchronous run reads it.
    static std::string decodeAll(std::string_view bytes);

private:
    std::string carry_;
};

}  // namespace kl
