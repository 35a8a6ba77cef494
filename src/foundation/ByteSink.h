#pragma once
// Where streamed writers put their bytes. A failed write throws
// "KLFileWriteError" so that a save stops at the first failure instead of
// reporting success over a short file; tests substitute a sink that fails
// part-way to prove that the old copy survives.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace kl {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
    // Makes everything written so far durable; a no-op for memory sinks.
    virtual void synchronize() {}
};

// Collects the bytes in memory.
class StringSink final : public ByteSink {
public:
    void write(std::string_view bytes) override { bytes_.append(bytes); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Writes to a file created (or truncated) at construction. Owns the
// descriptor; one thread at a time.
class FileSink final : public ByteSink {
public:
    // Throws "KLFileWriteError" naming the path when the file cannot be made.
    explicit FileSink(const std::filesystem::path& path, unsigned mode = 0644);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void write(std::string_view bytes) override;
    void synchronize() override;
    // Closes now, so that a failing close is reported rather than lost.
    void close();
    std::size_t bytesWritten() const { return written_; }

private:
    [[noreturn]] void fail(int error) const;

    std::filesystem::path path_;
    int fd_ = -1;
    std::size_t written_ = 0;
};

}  // namespace kl
