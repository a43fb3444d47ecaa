#include "hpgl/PlotInput.h"

#include <new>

PlotInput::~PlotInput() = default;

bool PlotInput::open(const std::string& path, int* error) {
    int failure = 0;
    if (error == nullptr) error = &failure;
    *error = 0;
    file_ = platform::File();
    history_.clear();
    replayed_ = 0;
    // Nothing left to read from an earlier file, whose buffer goes now, if this open fails.
    pos_ = end_ = nullptr;
    buffer_.reset(new (std::nothrow) unsigned char[kBufferSize]);
    if (!buffer_) return false;
    file_ = platform::openInput(path, true, *error);
    if (!file_.isOpen()) return false;
    platform::FileStatus status;
    pipe_ = file_.status(status) == 0 && status.kind == platform::FileKind::Pipe;
    pos_ = end_ = buffer_.get();
    ended_ = false;
    return true;
}

bool PlotInput::refill() {
    if (pos_ != end_) return true;
    if (!file_.isOpen() || ended_) return false;
    if (pipe_ && replayed_ < history_.size()) {
        pos_ = history_.data() + replayed_;
        end_ = history_.data() + history_.size();
        replayed_ = history_.size();
        return true;
    }
    const long long n = file_.read(buffer_.get(), kBufferSize);
    pos_ = end_ = buffer_.get();
    // The end of the file or a read error ends the input.
    if (n <= 0) {
        ended_ = true;
        return false;
    }
    end_ = pos_ + n;
    if (pipe_) {
        try {
            history_.insert(history_.end(), pos_, end_);
            replayed_ = history_.size();
        } catch (const std::bad_alloc&) {
            // Without room to keep it, the pipe can still be read on, but not again.
            pipe_ = false;
            history_.clear();
        }
    }
    return true;
}

void PlotInput::rewind() {
    if (!file_.isOpen()) return;
    if (pipe_)
        replayed_ = 0;
    else
        file_.seek(0, 0);
    pos_ = end_ = buffer_.get();
    ended_ = false;
}
