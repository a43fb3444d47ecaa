#include "hpgl/PlotInput.h"

#include <new>

PlotInput::~PlotInput() {
    if (file_ != nullptr) std::fclose(file_);
}

bool PlotInput::open(const std::string& path) {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    // Nothing left to read from an earlier file, whose buffer goes now, if this open fails.
    pos_ = end_ = nullptr;
    buffer_.reset(new (std::nothrow) unsigned char[kBufferSize]);
    if (!buffer_) return false;
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) return false;
    pos_ = end_ = buffer_.get();
    ended_ = false;
    return true;
}

bool PlotInput::refill() {
    if (pos_ != end_) return true;
    if (file_ == nullptr || ended_) return false;
    const size_t n = std::fread(buffer_.get(), 1, kBufferSize, file_);
    pos_ = buffer_.get();
    end_ = pos_ + n;
    // A short read means end of file or a read error; either ends the input.
    if (n < kBufferSize) ended_ = true;
    return n > 0;
}

void PlotInput::rewind() {
    if (file_ == nullptr) return;
    std::clearerr(file_);
    std::fseek(file_, 0, SEEK_SET);
    pos_ = end_ = buffer_.get();
    ended_ = false;
}
