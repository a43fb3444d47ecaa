// Child processes run side by side, at most a given number at a time: each started with its
// own arguments and environment, its standard output and error sent to a file, and its end
// collected with its exit code (or the signal that ended it) and its running time.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct ProcessSpec {
    std::vector<std::string> argv;         // argv[0] is the program's path
    std::vector<std::string> environment;  // NAME=VALUE entries
    std::string outputFile;                // receives standard output and standard error
};

struct ProcessEnd {
    std::size_t id = 0;  // as given to start
    int exitCode = -1;   // the exit code, or 128 + the signal that ended the process
    int signal = 0;      // the signal that ended the process, or 0
    double seconds = 0.0;
};

class ProcessPool {
public:
    explicit ProcessPool(unsigned width) : width_(width > 0 ? width : 1) {}
    ProcessPool(const ProcessPool&) = delete;
    ProcessPool& operator=(const ProcessPool&) = delete;

    bool hasRoom() const { return running_.size() < width_; }
    std::size_t running() const { return running_.size(); }

    // Starts a process (standard input reads nothing). False, with the reason in `error`, when
    // it cannot be started.
    bool start(std::size_t id, const ProcessSpec& spec, std::string& error);

    // Waits until one process ends. No value when none runs, or when the wait was interrupted
    // by a signal (the processes go on; wait again).
    std::optional<ProcessEnd> waitOne();

private:
    struct Running {
        std::size_t id;
        std::chrono::steady_clock::time_point started;
    };
    unsigned width_;
    std::map<pid_t, Running> running_;
};

// The process's environment with NAME set to value (an earlier NAME entry dropped).
std::vector<std::string> environmentWith(const std::string& name, const std::string& value);
