#include "foundation/ByteSink.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>

#include "foundation/Exception.h"

namespace {

std::filesystem::path scratch(const char* name) {
    auto dir = std::filesystem::temp_directory_path() / ("kl-sink-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir / name;
}

TEST(FileSink, WritesEveryByteAndReportsTheCount) {
    const auto path = scratch("out.bin");
    std::string payload(1 << 20, 'x');
    payload[12345] = '\0';
    {
        kl::FileSink sink(path);
        sink.write(payload);
        sink.write("tail");
        sink.synchronize();
        EXPECT_EQ(sink.bytesWritten(), payload.size() + 4);
        sink.close();
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream got;
    got << in.rdbuf();
    EXPECT_EQ(got.str(), payload + "tail");
    std::filesystem::remove_all(path.parent_path());
}

TEST(FileSink, FailuresAreNamedAndCarryThePath) {
    try {
        kl::FileSink sink("/nonexistent-folder/x.ged");
        FAIL() << "opening must fail";
    } catch (const kl::NamedException& e) {
        EXPECT_EQ(e.name(), kl::exception_names::FileWriteError);
        EXPECT_NE(e.message().find("/nonexistent-folder/x.ged"), std::string::npos);
    }
    if (std::filesystem::exists("/dev/full")) {
        kl::FileSink full("/dev/full");
        EXPECT_THROW(full.write(std::string(8192, 'a')), kl::NamedException);
    }
}

}  // namespace
