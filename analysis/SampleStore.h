#pragma once
// A long series of samples kept in an anonymous temporary file instead of memory,
// so that a log of any length is analysed in a few megabytes: written once in
// order, then read back sequentially from any position by as many readers as the
// analysis needs. The file disappears when the store is destroyed.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace gyro::analysis {

// Closes the temporary file (and so deletes it).
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

template <class T> class SampleStore {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    // Elements buffered between writes and per reader.
    static constexpr std::size_t BufferElements = 1 << 15;

    // An empty store; `failure()` tells when no temporary file could be made.
    SampleStore() : file_(std::tmpfile())
    {
        if (!file_)
            failure_ = "cannot create a temporary file";
        buffer_.reserve(BufferElements);
    }

    void append(T value)
    {
        buffer_.push_back(value);
        if (buffer_.size() == BufferElements)
            flush();
    }

    // Writes what is buffered. False (and `failure()`) when the disk refused it.
    bool flush()
    {
        if (buffer_.empty() || !failure_.empty()) {
            buffer_.clear();
            return failure_.empty();
        }
        if (std::fwrite(buffer_.data(), sizeof(T), buffer_.size(), file_.get()) != buffer_.size() ||
            std::fflush(file_.get()) != 0)
            failure_ = "cannot write the temporary file (disk full?)";
        else
            written_ += buffer_.size();
        buffer_.clear();
        return failure_.empty();
    }

    std::int64_t size() const { return static_cast<std::int64_t>(written_); }
    // Empty while every write worked.
    const std::string& failure() const { return failure_; }

    // Reads elements in order from a start index, a buffer at a time.
    class Reader {
    public:
        Reader(const SampleStore& store, std::int64_t start) : store_(store), next_(start)
        {
            buffer_.resize(BufferElements);
        }
        // The next element; the caller never reads past size().
        T next()
        {
            if (at_ == filled_)
                refill();
            return buffer_[at_++];
        }

    private:
        void refill()
        {
            std::FILE* f = store_.file_.get();
            const std::int64_t left = store_.size() - next_;
            const auto want = static_cast<std::size_t>(std::min<std::int64_t>(left, BufferElements));
            filled_ = 0;
            at_ = 0;
            if (want > 0 &&
                std::fseek(f, static_cast<long>(next_ * static_cast<std::int64_t>(sizeof(T))), SEEK_SET) == 0)
                filled_ = std::fread(buffer_.data(), sizeof(T), want, f);
            if (filled_ == 0) { // a read error: the analysis must not invent samples
                std::fill(buffer_.begin(), buffer_.end(), T{});
                filled_ = buffer_.size();
                store_.readFailed_ = true;
            }
            next_ += static_cast<std::int64_t>(filled_);
        }

        const SampleStore& store_;
        std::int64_t next_;
        std::vector<T> buffer_;
        std::size_t at_ = 0;
        std::size_t filled_ = 0;
    };

    Reader reader(std::int64_t start = 0) const { return Reader(*this, start); }
    // Whether a reader met a read error (its samples are then not to be trusted).
    bool readFailed() const { return readFailed_; }

private:
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::vector<T> buffer_;
    std::size_t written_ = 0;
    std::string failure_;
    mutable bool readFailed_ = false;
};

} // namespace gyro::analysis
