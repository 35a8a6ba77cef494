// Command text read by the command parser the way a script runs it: its
// subroutines found, then command after command, with "return" values
// evaluated as expressions. A bounded number of commands is read, since a
// script may loop for ever on purpose.
#include <cstddef>
#include <cstdint>
#include <string>

#include "script/CommandParcer.h"
#include "script/Expression.h"

namespace {

class Server : public kl::ExpressionEvaulator {
public:
    explicit Server(kl::CommandParcer& parser) : parser_(parser) {}
    std::optional<std::string> evaulateCommandExpression(const std::string& text) override {
        kl::Expression expression(text);
        expression.setParce(&parser_);
        if (expression.evaluateWith(variables)) return std::nullopt;
        return expression.value();
    }
    std::optional<std::string> subReturnValue() const override { return value_; }
    void setSubReturnValue(std::optional<std::string> value) override { value_ = std::move(value); }
    kl::Variables variables{{"#a", "1"}};

private:
    kl::CommandParcer& parser_;
    std::optional<std::string> value_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kl::CommandParcer parser(std::string(reinterpret_cast<const char*>(data), size));
    Server server(parser);
    parser.setExpressionServer(&server);
    if (parser.findSubroutines()) return 0;
    for (int read = 0; read < 4096; ++read)
        if (!parser.nextCommand()) break;
    return 0;
}
