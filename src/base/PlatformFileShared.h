// The parts of the platform file layer that both implementations share: the tests' fault
// injection, the kinds of file that count as inputs, the texts of the layer's own error numbers
// and the lifetime of File and Directory objects. Only PlatformFilePosix.cpp and
// PlatformFileWin32.cpp include this.
#pragma once

#include <chrono>

#include "base/PlatformFile.h"

namespace platform::shared {

// Counts one write, sync, rename or close; true when the injection wants it to fail, with the
// error to report in error.
bool injectedFailure(int& error);

// Why a file of this kind cannot be read as an input; 0 when it can.
int inputKindError(FileKind kind, bool allowPipe);

// The text of one of the layer's own error numbers (kErrorNotAFile, kErrorInUse), "" for 0, and
// null for a number of the platform.
const char* ownErrorText(int error);

// Closes a handle of File, Directory or FileLock (each platform's file defines it).
void closeHandle(int handle);

// The pauses between the tries of a lock: from 2 ms, doubling up to 100 ms, never beyond the
// time the caller waits in all.
class RetryPause {
public:
    explicit RetryPause(std::chrono::milliseconds wait)
        : deadline_(std::chrono::steady_clock::now() + wait) {}
    // Sleeps until the next try; false, without sleeping, when the time is up.
    bool wait();

private:
    std::chrono::steady_clock::time_point deadline_;
    std::chrono::milliseconds pause_{2};
};

}  // namespace platform::shared
