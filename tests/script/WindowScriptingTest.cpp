// The window attribute rules, over a fake window.
#include <gtest/gtest.h>

#include "script/ISListType.h"
#include "script/ISNSWindowScripting.h"
#include "script/ISNoneType.h"

namespace kl {
namespace {

class FakeWindow : public ISNSWindowScripting {
public:
    std::string title = "Smith";
    std::optional<Frame> frame = Frame{1, 2, 300, 200};
    std::string lastFrameText;
    std::shared_ptr<Object> document;

protected:
    long windowIdentifier() const override { return 7; }
    std::string readName(ISInterpreter*) override { return title; }
    void setWindowName(const std::string& name, ISInterpreter*) override { title = name; }
    std::optional<Frame> readFrame(ISInterpreter*) override { return frame; }
    void setWindowFrame(const std::string& text, ISInterpreter*) override { lastFrameText = text; }
    std::shared_ptr<Object> readDocument(ISInterpreter*) override { return document; }
};

class Objects : public ISInterpreter {
public:
    std::shared_ptr<Object> scriptObject(const std::string& name) override {
        if (name == "None") return none;
        if (name == "four") return ISListType::listWithList(Array{Value(10), Value("20"), Value(30.5), Value(40)});
        if (name == "three") return ISListType::listWithList(Array{Value(10), Value(20), Value(30)});
        if (name == "word") return ISListType::listWithList(Array{Value(10), Value(20), Value(30), Value("wide")});
        return nullptr;
    }
    void setReturnValue(Value) override {}
    Value returnValue() override { return {}; }
    std::shared_ptr<ISNoneType> none = ISNoneType::none();
};

TEST(WindowScripting, TextAttributes) {
    FakeWindow window;
    Objects objects;
    EXPECT_EQ(window.klis_getAttribute("id", &objects), "ID7");
    EXPECT_EQ(window.klis_getAttribute("class", &objects), "window");
    EXPECT_TRUE(window.klis_setAttribute("name", "Jones", &objects));
    EXPECT_EQ(window.klis_getAttribute("name", &objects), "Jones");
    EXPECT_FALSE(window.klis_getAttribute("size", &objects));
    EXPECT_FALSE(window.klis_setAttribute("size", "1", &objects));
}

TEST(WindowScripting, BoundsNeedFourNumbers) {
    FakeWindow window;
    Objects objects;
    EXPECT_FALSE(window.klis_setAttribute("bounds", "three", &objects));
    EXPECT_FALSE(window.klis_setAttribute("bounds", "word", &objects));
    EXPECT_FALSE(window.klis_setAttribute("bounds", "missing", &objects));
    EXPECT_EQ(window.lastFrameText, "");
    EXPECT_TRUE(window.klis_setAttribute("bounds", "four", &objects));
    EXPECT_EQ(window.lastFrameText, "{{10, 20}, {30.5, 40}}");
}

TEST(WindowScripting, ObjectAttributes) {
    FakeWindow window;
    Objects objects;
    EXPECT_EQ(window.klis_getObjectAttribute("document", &objects), objects.none);
    window.document = std::make_shared<ISListType>();
    EXPECT_EQ(window.klis_getObjectAttribute("document", &objects), window.document);
    auto bounds = std::dynamic_pointer_cast<ISListType>(window.klis_getObjectAttribute("bounds", &objects));
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->klis_join(" "), "1 2 300 200");
    window.frame.reset();
    bounds = std::dynamic_pointer_cast<ISListType>(window.klis_getObjectAttribute("bounds", &objects));
    EXPECT_EQ(bounds->klis_join(" "), "0 0 0 0");
}

}  // namespace
}  // namespace kl
