#include "places/MyHTTPRequest.h"

#include <memory>
#include <mutex>
#include <variant>

#include "foundation/Logger.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

std::mutex& transportLock() {
    static std::mutex lock;
    return lock;
}

MyHTTPRequest::Transport& theTransport() {
    static MyHTTPRequest::Transport transport;
    return transport;
}

// Marker values between the text pieces: ":" 0, "," 1000, "{" the new
// depth, "}" minus the closed depth.
constexpr int kColon = 0;
constexpr int kComma = 1000;

struct Token {
    bool isMarker = false;
    int marker = 0;
    std::string text;
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

void stripArg(std::string_view piece, std::vector<Token>& tokens) {
    std::size_t from = 0, to = piece.size();
    while (from < to && isSpace(piece[from])) ++from;
    while (to > from && isSpace(piece[to - 1])) --to;
    if (from == to) return;
    tokens.push_back({false, 0, MyHTTPRequest::localUnquote(piece.substr(from, to - from))});
}

std::vector<Token> tokenize(std::string_view text) {
    std::vector<Token> tokens;
    bool inQuotes = false;
    char previous = ' ';
    int depth = 0;
    std::size_t cut = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' && previous != '\\') inQuotes = !inQuotes;
        previous = c;
        if (inQuotes || (c != ',' && c != ':' && c != '{' && c != '}')) continue;
        stripArg(text.substr(cut, i - cut), tokens);
        cut = i + 1;
        if (c == ',') tokens.push_back({true, kComma, {}});
        else if (c == ':') tokens.push_back({true, kColon, {}});
        else if (c == '{') tokens.push_back({true, ++depth, {}});
        else tokens.push_back({true, -depth--, {}});
    }
    stripArg(text.substr(cut), tokens);
    return tokens;
}

// The values of an object keyed "0" ... count - 1, in key order; nullopt
// when a key is missing.
std::optional<Array> numberedValues(const Dictionary& dictionary) {
    Array list;
    for (std::size_t i = 0; i < dictionary.size(); ++i) {
        const Value* value = dictionary.get(std::to_string(i));
        if (!value) return std::nullopt;
        list.push_back(*value);
    }
    return list;
}

// Values on the stack while reading: texts, or objects already closed.
using Item = std::variant<std::string, Dictionary>;

void addFromStack(std::vector<Item>& stack, Dictionary& dictionary) {
    Item value = std::move(stack.back());
    stack.pop_back();
    Item key = std::move(stack.back());
    stack.pop_back();
    // An object cannot be a key; its pair is dropped.
    const std::string* keyText = std::get_if<std::string>(&key);
    if (!keyText) return;
    if (auto* object = std::get_if<Dictionary>(&value)) {
        if (auto list = numberedValues(*object)) dictionary.set(*keyText, Value(std::move(*list)));
        else dictionary.set(*keyText, Value(std::move(*object)));
        return;
    }
    const std::string& text = std::get<std::string>(value);
    if (text == "null") return;
    dictionary.set(*keyText, Value(MyHTTPRequest::unescape(text)));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The code of a \u escape at `at`, or -1 when four hex digits do not follow.
long escapeAt(std::string_view text, std::size_t at) {
    if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return -1;
    long code = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0) return -1;
        code = code * 16 + digit;
    }
    return code;
}

bool isQueryAllowed(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("!$&'()*+,-./:;=?@_~").find(char(c)) != std::string_view::npos;
}

void appendEscape(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

}  // namespace

void MyHTTPRequest::setTransport(Transport transport) {
    std::lock_guard guard(transportLock());
    theTransport() = std::move(transport);
}

MyHTTPRequest::MyHTTPRequest(const std::string& request, double timeout) : timeout_(timeout) {
    const std::size_t query = request.find(".py?");
    theRequest_ = query == std::string::npos
                      ? percentEncodeQuery(request)
                      : request.substr(0, query + 4) + percentEncodeQuery(std::string_view(request).substr(query + 4));
    Logger::log("REQUEST: {}", theRequest_);
}

std::optional<Value> MyHTTPRequest::getJSONDictionaryOrError(PlaceDataError* error, bool asList) const {
    Transport transport;
    {
        std::lock_guard guard(transportLock());
        transport = theTransport();
    }
    Reply reply = transport ? transport(theRequest_, timeout_)
                            : Reply{std::nullopt, {"Network", -1, "No connection to the place-data service"}};
    if (!reply.data) {
        if (error) *error = reply.error;
        return std::nullopt;
    }
    return stringToDictionary(*reply.data, asList, error);
}

std::optional<Value> MyHTTPRequest::stringToDictionary(std::string_view text, bool asList, PlaceDataError* error) {
    const std::vector<Token> tokens = tokenize(text);
    std::size_t start = 0;
    while (start < tokens.size() && !(tokens[start].isMarker && tokens[start].marker == 1)) ++start;
    if (start == tokens.size()) {
        if (utf8::longerThan(text, 512))
            Logger::log("HTTP Request Response: {}...", text.substr(0, utf8::advance(text, 0, 512)));
        else
            Logger::log("HTTP Request Response: {}", text);
        if (error)
            *error = {kErrorDomain, 1,
                      "The returned text does not contain a dictionary marked with brackets {} (open Console to see "
                      "the response)"};
        return std::nullopt;
    }
    std::vector<Dictionary> open;
    std::vector<Item> stack;
    std::vector<std::size_t> bases;
    int depth = 0;
    auto pairWaiting = [&] { return stack.size() >= bases.back() + 2; };
    for (std::size_t i = start; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (!token.isMarker) {
            stack.emplace_back(token.text);
        } else if (token.marker == depth + 1) {
            open.emplace_back();
            bases.push_back(stack.size());
            ++depth;
        } else if (token.marker == kComma) {
            if (depth > 0 && pairWaiting()) addFromStack(stack, open.back());
        } else if (depth > 0 && token.marker == -depth) {
            if (pairWaiting()) addFromStack(stack, open.back());
            if (depth == 1) break;
            Dictionary closed = std::move(open.back());
            open.pop_back();
            bases.pop_back();
            --depth;
            if (closed.empty()) stack.emplace_back(std::string("null"));
            else stack.emplace_back(std::move(closed));
        }
    }
    Dictionary& result = open.front();
    if (!asList) return Value(std::move(result));
    if (auto list = numberedValues(result)) return Value(std::move(*list));
    return Value(Array(result.values()));
}

std::string MyHTTPRequest::localUnquote(std::string_view text) {
    while (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

std::string MyHTTPRequest::unescape(std::string_view text) {
    std::string quoted;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
            quoted += '"';
            ++i;
        } else {
            quoted += text[i];
        }
    }
    std::string out;
    for (std::size_t i = 0; i < quoted.size();) {
        long code = escapeAt(quoted, i);
        if (code < 0) {
            out += quoted[i++];
            continue;
        }
        i += 6;
        // A surrogate pair is one character; a lone half is no character.
        if (code >= 0xD800 && code <= 0xDBFF) {
            const long low = escapeAt(quoted, i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 6;
            } else {
                code = 0xFFFD;
            }
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        utf8::append(out, char32_t(code));
    }
    return out;
}

std::string MyHTTPRequest::percentEncodeQuery(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = text[i];
        if (isQueryAllowed(c)) out += char(c);
        else if (c == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0)
            out += '%';
        else appendEscape(out, c);
    }
    return out;
}

std::string MyHTTPRequest::fillRequest(std::string_view format, const std::vector<std::string>& values) {
    std::string out;
    std::size_t next = 0, from = 0;
    for (std::size_t at = format.find("%@"); at != std::string_view::npos; at = format.find("%@", from)) {
        out.append(format.substr(from, at - from));
        from = at + 2;
        if (next >= values.size()) continue;
        for (unsigned char c : values[next++]) {
            if (isQueryAllowed(c) && c != '&' && c != '=' && c != '+' && c != '#') out += char(c);
            else appendEscape(out, c);
        }
    }
    return out.append(format.substr(from));
}

}  // namespace kl
