#pragma once
// A long series of samples kept in a temporary file instead of memory, so that a
// log of any length is analysed in a few megabytes: written once in order, then
// read back sequentially from any position by as many readers as the analysis
// needs. The file lies in the temporary folder (TMPDIR) and no name reaches it
// (ScratchFile.h), so not even a killed program leaves it behind.
//
// A store in memory holds the same series without any file, for short series read
// many times over (the fuzz target); its readers read the elements in place.
#include "ScratchFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace gyro::analysis {

enum class SampleStorage { TemporaryFile, Memory };

template <class T> class SampleStore {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    // Elements buffered between writes and per reader.
    static constexpr std::size_t BufferElements = 1 << 15;

    // An empty store; `failure()` tells when no temporary file could be made.
    SampleStore() : SampleStore(SampleStorage::TemporaryFile) {}
    // Reads and writes go straight to the file: the store buffers them itself.
    explicit SampleStore(SampleStorage storage)
    {
        if (storage == SampleStorage::Memory)
            return;
        QString reason;
        file_ = OpenScratchFile(&reason);
        if (!file_) {
            failure_ = "cannot create a temporary file in " + QDir::tempPath().toStdString() + ": " +
                       reason.toStdString();
            file_ = std::make_unique<QFile>(); // never opened: every read and write fails
        }
        buffer_.reserve(BufferElements);
    }

    void append(T value)
    {
        buffer_.push_back(value);
        if (file_ && buffer_.size() == BufferElements)
            flush();
    }

    // Writes what is buffered (in memory: counts it in `size()`). False (and
    // `failure()`) when the disk refused it.
    bool flush()
    {
        if (!file_) {
            written_ = buffer_.size();
            return true;
        }
        if (buffer_.empty() || !failure_.empty()) {
            buffer_.clear();
            return failure_.empty();
        }
        const auto bytes = static_cast<qint64>(buffer_.size() * sizeof(T));
        if (!file_->seek(static_cast<qint64>(written_ * sizeof(T))) ||
            file_->write(reinterpret_cast<const char*>(buffer_.data()), bytes) != bytes || !file_->flush())
            failure_ = "cannot write the temporary file in the temporary folder: " +
                       file_->errorString().toStdString();
        else
            written_ += buffer_.size();
        buffer_.clear();
        return failure_.empty();
    }

    std::int64_t size() const { return static_cast<std::int64_t>(written_); }
    // Where the store keeps its series; stores derived from it keep theirs there too.
    SampleStorage storage() const { return file_ ? SampleStorage::TemporaryFile : SampleStorage::Memory; }
    // Empty while every write worked.
    const std::string& failure() const { return failure_; }

    // Reads elements in order from a start index, a buffer at a time. Its buffer
    // holds no more than the elements left to read, so short series cost little.
    // Read a store after writing it: a store in memory may move its elements while
    // it grows.
    class Reader {
    public:
        Reader(const SampleStore& store, std::int64_t start) : store_(store), next_(start)
        {
            if (store.file_)
                buffer_.resize(static_cast<std::size_t>(
                    std::clamp<std::int64_t>(store.size() - start, 1, BufferElements)));
        }
        // The next element; the caller never reads past size().
        T next()
        {
            if (at_ == filled_)
                refill();
            return elements_[at_++];
        }

    private:
        void refill()
        {
            const std::int64_t left = store_.size() - next_;
            at_ = 0;
            filled_ = 0;
            if (left > 0 && !store_.file_) {
                elements_ = store_.buffer_.data() + next_;
                filled_ = static_cast<std::size_t>(left);
            } else if (left > 0) {
                readFromFile(static_cast<std::size_t>(
                    std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer_.size()))));
            }
            if (filled_ == 0) { // a read error: the analysis must not invent samples
                buffer_.assign(std::max<std::size_t>(1, buffer_.size()), T{});
                elements_ = buffer_.data();
                filled_ = buffer_.size();
                store_.readFailed_ = true;
            }
            next_ += static_cast<std::int64_t>(filled_);
        }

        void readFromFile(std::size_t want)
        {
            QFile& f = *store_.file_;
            elements_ = buffer_.data();
            if (!f.seek(next_ * static_cast<qint64>(sizeof(T))))
                return;
            const qint64 got =
                f.read(reinterpret_cast<char*>(buffer_.data()), static_cast<qint64>(want * sizeof(T)));
            filled_ = got > 0 ? static_cast<std::size_t>(got) / sizeof(T) : 0;
        }

        const SampleStore& store_;
        std::int64_t next_;
        std::vector<T> buffer_;       // what was read from the file
        const T* elements_ = nullptr; // the elements `at_` counts in: the buffer or the store's own
        std::size_t at_ = 0;
        std::size_t filled_ = 0;
    };

    Reader reader(std::int64_t start = 0) const { return Reader(*this, start); }
    // Whether a reader met a read error (its samples are then not to be trusted).
    bool readFailed() const { return readFailed_; }

private:
    std::unique_ptr<QFile> file_; // null for a store in memory
    std::vector<T> buffer_;       // not yet written; in memory, the whole series
    std::size_t written_ = 0;
    std::string failure_;
    mutable bool readFailed_ = false;
};

} // namespace gyro::analysis
