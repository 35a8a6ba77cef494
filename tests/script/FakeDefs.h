#pragma once
// The def functions a command parser would have collected, by name, for
// expressions evaluated without a parser.
#include <map>
#include <string>
#include <vector>

#include "script/DefFunctionSource.h"

namespace kl::test {

class FakeDefs : public DefFunctionSource {
public:
    std::map<std::string, std::vector<std::string>> defs;
    const std::vector<std::string>* defByName(const std::string& name) const override {
        auto it = defs.find(name);
        return it == defs.end() ? nullptr : &it->second;
    }
};

}  // namespace kl::test
