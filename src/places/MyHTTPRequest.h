#pragma once
// MyHTTPRequest: one synchronous request to the place-data service's server
// scripts and the tolerant reader of its replies. The service answers in a
// JSON-like object notation whose values are all texts, nested objects, or
// lists written as objects keyed "0", "1", ...; the reader turns a reply
// into a Dictionary (or an Array when asked for a list) and ignores what
// does not balance instead of refusing the reply.
//
// Sending goes through a transport the program installs (Qt Network in the
// GUI; tests install a stand-in), so the logic of the import and search
// workers needs no window.
//
// Thread: a request blocks the thread that sends it for up to its time-out;
// it is meant for worker threads. The transport is installed before
// workers start.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Value.h"

namespace kl {

// A failed request or reply: the platform's error of the transport, or the
// reader's own (domain "HTTP Request Process", code 1).
struct PlaceDataError {
    std::string domain;
    long code = 0;
    std::string description;
    bool operator==(const PlaceDataError&) const = default;
};

class MyHTTPRequest {
public:
    static constexpr const char* kErrorDomain = "HTTP Request Process";

    // What a transport answers: the reply's bytes, or the error.
    struct Reply {
        std::optional<std::string> data;
        PlaceDataError error;
    };
    using Transport = std::function<Reply(const std::string& url, double timeout)>;
    // Installs the transport (an empty one: every request fails).
    static void setTransport(Transport transport);

    // Encodes the request text: after ".py?" the query, else the whole text.
    MyHTTPRequest(const std::string& request, double timeout);

    const std::string& url() const { return theRequest_; }
    double timeout() const { return timeout_; }

    // The reply as a dictionary, or as a list when asList; nullopt with
    // *error set on failure.
    std::optional<Value> getJSONDictionaryOrError(PlaceDataError* error, bool asList) const;

    // ---- the reader
    static std::optional<Value> stringToDictionary(std::string_view text, bool asList, PlaceDataError* error);
    // Outer matching quotes (single or double) removed, repeatedly.
    static std::string localUnquote(std::string_view text);
    // A text value: \" made ", then each \u and four hex digits made that
    // character.
    static std::string unescape(std::string_view text);

    // ---- request texts
    // The text with every character outside a URL query's allowed set
    // percent-encoded; an escape already made ("%" and two hex digits) is
    // kept, so values filled in by fillRequest are not encoded twice.
    static std::string percentEncodeQuery(std::string_view text);
    // The format with each "%@" replaced by the next value, each value
    // encoded so that "&", "=", "+", "#" and "%" inside it stay part of
    // the value.
    static std::string fillRequest(std::string_view format, const std::vector<std::string>& values);

private:
    std::string theRequest_;
    double timeout_;
};

}  // namespace kl
