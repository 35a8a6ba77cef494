// Embedded `_NSDATA` lines: base64 in fixed pieces out, lenient base64 in.
#include "document/GEDCOMEncodeDecode.h"

#include <array>

#include "foundation/PropertyList.h"

namespace kl {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kOutside = -1;
constexpr int kPad = -2;

constexpr std::array<int, 256> makeSextets() {
    std::array<int, 256> table{};
    for (int& entry : table) entry = kOutside;
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = i;
    table['='] = kPad;
    return table;
}
constexpr std::array<int, 256> kSextets = makeSextets();

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Turns whole or partial groups of sextets into bytes: a group of n sextets
// (2 to 4) carries n - 1 bytes.
Data bytesFromSextets(const std::vector<std::uint8_t>& sextets) {
    Data out;
    out.reserve(sextets.size() / 4 * 3 + 2);
    for (std::size_t at = 0; at < sextets.size(); at += 4) {
        const std::size_t n = std::min<std::size_t>(4, sextets.size() - at);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 4; ++i) group = (group << 6) | (i < n ? sextets[at + i] : 0);
        for (std::size_t i = 0; i + 1 < n; ++i) out.push_back(static_cast<std::uint8_t>(group >> (16 - 8 * i)));
    }
    return out;
}

}  // namespace

std::string GEDCOMEncodeDecode::base64Encode(const Data& data) {
    std::string text;
    text.reserve((data.size() + 2) / 3 * 4);
    for (std::size_t at = 0; at < data.size(); at += 3) {
        const std::size_t n = std::min<std::size_t>(3, data.size() - at);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i) group = (group << 8) | (i < n ? data[at + i] : 0);
        for (std::size_t i = 0; i < 4; ++i)
            text.push_back(i <= n ? kAlphabet[(group >> (18 - 6 * i)) & 63] : '=');
    }
    return text;
}

std::optional<Data> GEDCOMEncodeDecode::base64Decode(std::string_view text) {
    std::vector<std::uint8_t> sextets;
    sextets.reserve(text.size());
    std::size_t padding = 0;
    for (char c : text) {
        const int value = kSextets[static_cast<unsigned char>(c)];
        if (value == kOutside) continue;
        if (value == kPad) {
            ++padding;
            continue;
        }
        if (padding > 0) return std::nullopt;  // data after the end
        sextets.push_back(static_cast<std::uint8_t>(value));
    }
    const std::size_t rest = sextets.size() % 4;
    if (rest == 1 || padding > 2) return std::nullopt;
    if (padding > 0 && (rest == 0 || rest + padding != 4)) return std::nullopt;
    return bytesFromSextets(sextets);
}

bool GEDCOMEncodeDecode::isValidName(std::string_view name) {
    return !name.empty() && name.find(" =") == std::string_view::npos &&
           name.find_first_of("\r\n") == std::string_view::npos;
}

std::string GEDCOMEncodeDecode::base64ToEmbeddedGedcom(std::string_view base64Text, int level,
                                                       std::string_view name) {
    if (!isValidName(name)) return {};
    std::string out = std::to_string(level) + " _NSDATA ";
    out.append(name).append(" = \n");
    const std::string conc = std::to_string(level + 1) + " CONC ";
    for (std::size_t at = 0; at < base64Text.size(); at += kPieceLength) {
        out.append(conc).append(base64Text.substr(at, kPieceLength)).push_back('\n');
    }
    return out;
}

std::string GEDCOMEncodeDecode::dataToEmbeddedGedcom(const Data& data, int level, std::string_view name) {
    return base64ToEmbeddedGedcom(base64Encode(data), level, name);
}

std::optional<std::string> GEDCOMEncodeDecode::EncodeData(const Value& propertyList, int level,
                                                          std::string_view name, std::string* error) {
    if (!isValidName(name)) {
        if (error) *error = "invalid name for an embedded data object: '" + std::string(name) + "'";
        return std::nullopt;
    }
    std::optional<std::string> xml = PropertyList::writeXML(propertyList, error);
    if (!xml) return std::nullopt;
    return dataToEmbeddedGedcom(Data(xml->begin(), xml->end()), level, name);
}

std::optional<Data> GEDCOMEncodeDecode::decodeEmbedded(std::string_view contents,
                                                       std::optional<std::string>* name,
                                                       std::optional<std::string>* error) {
    if (name) name->reset();
    if (error) error->reset();
    const std::size_t equals = contents.find(" =");
    if (equals == std::string_view::npos) {
        if (error) *error = kNoEqualsSign;
        return std::nullopt;
    }
    if (name) *name = std::string(contents.substr(0, equals));
    std::size_t start = equals + 2;
    while (start < contents.size() && isBlank(contents[start])) ++start;
    if (start == contents.size()) {
        if (error) *error = kNoData;
        return std::nullopt;
    }
    return base64Decode(contents.substr(start));
}

std::optional<Value> GEDCOMEncodeDecode::DecodeData(std::string_view contents, std::optional<std::string>* name,
                                                    std::optional<std::string>* error) {
    std::optional<Data> bytes = decodeEmbedded(contents, name, error);
    if (!bytes) return std::nullopt;
    return PropertyList::read(*bytes);
}

}  // namespace kl
