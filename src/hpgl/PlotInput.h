// The plot file as a byte stream read through one large buffer: the reader works on the buffered
// bytes directly and asks for a refill only when they run out, never a system call per byte.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "base/PlatformFile.h"

class PlotInput {
public:
    static constexpr size_t kBufferSize = size_t{1} << 18;

    PlotInput() = default;
    ~PlotInput();
    PlotInput(const PlotInput&) = delete;
    PlotInput& operator=(const PlotInput&) = delete;

    // Opens the file for reading: a regular file or a pipe (a pipe is read to its end). false
    // when it does not exist, cannot be read, or is a directory or a device (error, when given,
    // receives the system's error number then).
    bool open(const std::string& path, int* error = nullptr);

    // The unread buffered bytes are [pos(), end()).
    const unsigned char* pos() const { return pos_; }
    const unsigned char* end() const { return end_; }
    void advanceTo(const unsigned char* p) { pos_ = p; }

    // Makes at least one unread byte available; false at the end of the file or after a read
    // failure (both count as end of input).
    bool refill();

    // The next byte, or -1 at end of input.
    int get() {
        if (pos_ == end_ && !refill()) return -1;
        return *pos_++;
    }

    // Ends the input here: every later read finds end of input until rewind.
    void stop() {
        pos_ = end_;
        ended_ = true;
    }

    // Back to the first byte of the file, clearing end and failure states. A pipe cannot seek:
    // what was read from it is kept and handed out again.
    void rewind();

private:
    platform::File file_;
    bool pipe_ = false;
    // A pipe's bytes read so far, and how many of them have been handed out since the rewind.
    std::vector<unsigned char> history_;
    std::size_t replayed_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
    const unsigned char* pos_ = nullptr;
    const unsigned char* end_ = nullptr;
    bool ended_ = false;
};
