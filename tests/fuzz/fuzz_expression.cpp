// Expression text evaluated against a few variables. A first line before
// a line break becomes the body of the def function "f" (text argument),
// so that defs calling themselves and each other are tried as well.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/Expression.h"
#include "script/FakeDefs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    kl::test::FakeDefs defs;
    defs.defs["g"] = {"N", "#1*2+f(#1)"};
    if (const std::size_t line = text.find('\n'); line != std::string::npos) {
        defs.defs["f"] = {"S", text.substr(0, line), "x"};
        text.erase(0, line + 1);
    }
    kl::Expression expression(text);
    expression.setParce(&defs);
    const kl::Variables variables{{"#a", "3"}, {"#a[0]", "1"}, {"#a[1]", "two"}, {"#t", "some text"}};
    expression.evaluateWith(variables);
    expression.evaluateWith(variables);  // a second time over the same tokens
    return 0;
}
