// The outcome of an operation on files, carried from where it failed to whoever reports it:
// what failed (a code of the layer that says so), which file or directory, and the system's
// reason. The error record keeps the codes of the process; a Status keeps the context of one
// failure, so that no caller has to piece it together afterwards.
#pragma once

#include <string>
#include <utility>

struct Status {
    // 0 on success; otherwise a failure code of the operation that returned the status (each
    // operation names its codes next to its declaration).
    int code = 0;
    // The file or directory the failure concerns (empty on success).
    std::string path;
    // The system's error number of the call that failed (errno on POSIX, or one of the platform
    // layer's own numbers); 0 when the failure is no system call's, such as a format error.
    int sysError = 0;

    bool ok() const { return code == 0; }
    // The system's text for sysError ("No space left on device"), empty without one.
    std::string reason() const;

    static Status success() { return Status(); }
    static Status failure(int code, std::string path, int sysError = 0) {
        return Status{code, std::move(path), sysError};
    }
};

// Stores status in *out when out is not null; returns whether it is a success. For operations
// that keep their 1/0 result and hand the context to callers that ask for it.
inline bool reportStatus(Status* out, Status status) {
    const bool ok = status.ok();
    if (out != nullptr) *out = std::move(status);
    return ok;
}
