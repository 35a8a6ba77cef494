#pragma once
// GEDCOMEncodeDecode: carries binary data inside GEDCOM text as a custom
// `_NSDATA` line whose value is base64 text spread over `CONC` lines, and
// turns the joined value of such a line back into bytes or a property list.
// The package dictionaries ride in an exported header this way, and
// multimedia thumbnails after their record.
//
// Images are not decoded here: the GUI layer makes its JPEG with Qt and
// hands the bytes to dataToEmbeddedGedcom, and makes an image of what
// decodeEmbedded answers.
//
// Class operations only, no state; safe on any thread.
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Value.h"

namespace kl {

class GEDCOMEncodeDecode {
public:
    // Base64 text of one CONC line; the last piece may be shorter.
    static constexpr std::size_t kPieceLength = 72;
    static constexpr const char* kNoEqualsSign = "no equals sign found to mark data object";
    static constexpr const char* kNoData = "no data found after equals sign";

    // Standard alphabet, "=" padding, no line breaks.
    static std::string base64Encode(const Data& data);
    // Ignores every character outside the alphabet (line breaks and blanks
    // left by joining CONC/CONT lines). nullopt when what is left cannot be
    // base64: a stray single character, or text after the padding.
    static std::optional<Data> base64Decode(std::string_view text);

    // A name that would not survive a round trip: empty, holding a line
    // break, or holding " =" (the decoder cuts the name at the first one).
    static bool isValidName(std::string_view name);

    // The `_NSDATA` line at `level` and the CONC lines at level + 1 holding
    // `base64Text` in 72-character pieces; every line ends with a single line
    // feed whatever the surrounding text uses. Empty text gives the first
    // line alone. "" when the name is not valid, so callers that append
    // the answer unchanged write nothing.
    static std::string base64ToEmbeddedGedcom(std::string_view base64Text, int level, std::string_view name);
    static std::string dataToEmbeddedGedcom(const Data& data, int level, std::string_view name);

    // A property list as XML, embedded. nullopt with `error` set when the
    // list cannot be written or the name is not valid; callers then leave
    // the lines out.
    static std::optional<std::string> EncodeData(const Value& propertyList, int level, std::string_view name,
                                                 std::string* error = nullptr);

    // Reads the joined contents of an `_NSDATA` line: the name, " =", perhaps
    // white space, then the base64 text. `name` and `error` are reset first;
    // a missing equals sign or an empty value sets `error` to one of the two
    // texts above. Undecodable base64 answers nullopt without an error text.
    static std::optional<Data> decodeEmbedded(std::string_view contents, std::optional<std::string>* name,
                                              std::optional<std::string>* error);
    // decodeEmbedded, then the bytes read as a property list of any format;
    // bytes that are no property list answer nullopt without an error text.
    static std::optional<Value> DecodeData(std::string_view contents, std::optional<std::string>* name,
                                           std::optional<std::string>* error);
};

}  // namespace kl
