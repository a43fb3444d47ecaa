// The platform-independent part of the file layer (see PlatformFileShared.h).
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <thread>
#include <utility>

#include "base/PlatformFileShared.h"

namespace platform {

namespace {

// The fault injection of the tests: the n-th counted operation fails.
struct FaultPlan {
    long failAt = 0;
    int error = 0;
    long count = 0;
};

FaultPlan& faultPlan() {
    static FaultPlan plan;
    return plan;
}

}  // namespace

namespace shared {

bool injectedFailure(int& error) {
    FaultPlan& plan = faultPlan();
    ++plan.count;
    if (plan.failAt == 0 || plan.count != plan.failAt) return false;
    error = plan.error;
    return true;
}

int inputKindError(FileKind kind, bool allowPipe) {
    switch (kind) {
        case FileKind::Regular:
            return 0;
        case FileKind::Pipe:
            return allowPipe ? 0 : kErrorNotAFile;
        case FileKind::Directory:
            return EISDIR;
        case FileKind::Missing:
            return ENOENT;
        default:
            return kErrorNotAFile;
    }
}

const char* ownErrorText(int error) {
    switch (error) {
        case 0:
            return "";
        case kErrorNotAFile:
            return "Not a regular file";
        case kErrorInUse:
            return "In use by another run";
        default:
            return nullptr;
    }
}

bool RetryPause::wait() {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline_) return false;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(pause_, deadline_ - now));
    pause_ = std::min(pause_ * 2, std::chrono::milliseconds(100));
    return true;
}

}  // namespace shared

// File and Directory: moved, never copied; the handle is closed when the object goes.

File::~File() {
    if (handle_ >= 0) shared::closeHandle(handle_);
}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), error_(other.error_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) shared::closeHandle(handle_);
        handle_ = std::exchange(other.handle_, -1);
        error_ = other.error_;
    }
    return *this;
}

bool File::fail(int error) {
    error_ = error;
    return false;
}

std::FILE* File::releaseToStream(const char* mode) {
    if (handle_ < 0) {
        fail(EBADF);
        return nullptr;
    }
    // The runtime's file number becomes the stream's (Windows keeps such numbers too).
    std::FILE* stream = ::fdopen(handle_, mode);
    if (stream == nullptr) {
        fail(errno);
        shared::closeHandle(handle_);
    }
    handle_ = -1;
    return stream;
}

Directory::~Directory() {
    if (handle_ >= 0) shared::closeHandle(handle_);
}

Directory::Directory(Directory&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_)) {}

Directory& Directory::operator=(Directory&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) shared::closeHandle(handle_);
        handle_ = std::exchange(other.handle_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

void FileLock::release() {
    if (handle_ < 0) return;
    // Only the holder removes the file, so the path still names the file locked.
    removeFile(path_);
    shared::closeHandle(handle_);
    handle_ = -1;
    path_.clear();
}

void injectFileFault(long n, int error) {
    faultPlan() = FaultPlan{n, error, 0};
}

long fileOperationCount() {
    return faultPlan().count;
}

}  // namespace platform
