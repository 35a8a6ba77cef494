#pragma once
// A stand-in for the place-data service: canned replies by request
// address, and the addresses asked for. Installed as MyHTTPRequest's
// transport for the life of the object.
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "places/MyHTTPRequest.h"

namespace kl::test {

class FakePlaceService {
public:
    static constexpr const char* kBase = "http://places.test/cgi-bin/";

    FakePlaceService() {
        MyHTTPRequest::setTransport([this](const std::string& url, double) {
            std::lock_guard guard(lock_);
            asked.push_back(url.substr(std::string(kBase).size()));
            auto reply = replies.find(asked.back());
            if (reply == replies.end()) return MyHTTPRequest::Reply{std::nullopt, {"Network", 404, "Not Found"}};
            return MyHTTPRequest::Reply{reply->second, {}};
        });
    }
    ~FakePlaceService() { MyHTTPRequest::setTransport({}); }
    FakePlaceService(const FakePlaceService&) = delete;
    FakePlaceService& operator=(const FakePlaceService&) = delete;

    // Replies by request text after the base.
    std::map<std::string, std::string> replies;
    std::vector<std::string> asked;

private:
    std::mutex lock_;
};

}  // namespace kl::test
