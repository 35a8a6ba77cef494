#include "scripting/OutputDecoder.h"

#include "model/SingleByteCodec.h"

namespace kl {

namespace {

void appendMacRoman(std::string& out, unsigned char byte) {
    static const SingleByteCodec* roman = SingleByteCodec::forEncoding(TextEncoding::MacOSRoman);
    const char one = static_cast<char>(byte);
    out += roman->decode(std::string_view(&one, 1)).text;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts; 0 when it starts none.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The allowed range of the byte after the lead: it rules out overlong
// forms, surrogates and code points beyond U+10FFFF.
bool secondByteFits(unsigned char lead, unsigned char second) {
    switch (lead) {
    case 0xE0: return second >= 0xA0 && second <= 0xBF;
    case 0xED: return second >= 0x80 && second <= 0x9F;
    case 0xF0: return second >= 0x90 && second <= 0xBF;
    case 0xF4: return second >= 0x80 && second <= 0x8F;
    default: return isContinuation(second);
    }
}

}  // namespace

std::string OutputDecoder::decode(std::string_view chunk) {
    std::string bytes = std::move(carry_);
    carry_.clear();
    bytes.append(chunk);
    std::string out;
    out.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const int length = sequenceLength(lead);
        if (length == 1) {
            out += bytes[at++];
            continue;
        }
        if (length == 0) {
            appendMacRoman(out, lead);
            ++at;
            continue;
        }
        // How many bytes of the sequence are present and sound.
        std::size_t sound = 1;
        while (sound < static_cast<std::size_t>(length) && at + sound < bytes.size()) {
            const auto next = static_cast<unsigned char>(bytes[at + sound]);
            if (sound == 1 ? !secondByteFits(lead, next) : !isContinuation(next)) break;
            ++sound;
        }
        if (sound == static_cast<std::size_t>(length)) {
            out.append(bytes, at, sound);
            at += sound;
        } else if (at + sound == bytes.size()) {
            // Cut by the end of the chunk: wait for the rest.
            carry_ = bytes.substr(at);
            break;
        } else {
            appendMacRoman(out, lead);
            ++at;
        }
    }
    return out;
}

std::string OutputDecoder::finish() {
    std::string out;
    for (char byte : carry_) appendMacRoman(out, static_cast<unsigned char>(byte));
    carry_.clear();
    return out;
}

std::string OutputDecoder::decodeAll(std::string_view bytes) {
    OutputDecoder decoder;
    std::string out = decoder.decode(bytes);
    return out + decoder.finish();
}

}  // namespace kl
