#include "batch/ProcessPool.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

std::vector<char*> pointersTo(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (const std::string& s : strings)
        pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// posix_spawn's file actions, released however the start ends.
class FileActions {
public:
    FileActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
    ~FileActions() {
        if (ok_) posix_spawn_file_actions_destroy(&actions_);
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    bool ok() const { return ok_; }
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

}  // namespace

std::vector<std::string> environmentWith(const std::string& name, const std::string& value) {
    std::vector<std::string> env;
    const std::string prefix = name + "=";
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        if (std::strncmp(*e, prefix.c_str(), prefix.size()) != 0) env.emplace_back(*e);
    }
    env.push_back(prefix + value);
    return env;
}

bool ProcessPool::start(std::size_t id, const ProcessSpec& spec, std::string& error) {
    if (spec.argv.empty()) {
        error = "no program to run";
        return false;
    }
    FileActions actions;
    if (!actions.ok() ||
        posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0) != 0 ||
        posix_spawn_file_actions_addopen(actions.get(), 1, spec.outputFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0666) != 0 ||
        posix_spawn_file_actions_adddup2(actions.get(), 1, 2) != 0) {
        error = "cannot prepare the start of " + spec.argv.front();
        return false;
    }
    std::vector<char*> argv = pointersTo(spec.argv);
    std::vector<char*> envp = pointersTo(spec.environment);
    pid_t pid = 0;
    const int rc =
        posix_spawn(&pid, argv.front(), actions.get(), nullptr, argv.data(), envp.data());
    if (rc != 0) {
        error = "cannot start " + spec.argv.front() + ": " + std::strerror(rc);
        return false;
    }
    running_.emplace(pid, Running{id, std::chrono::steady_clock::now()});
    return true;
}

std::optional<ProcessEnd> ProcessPool::waitOne() {
    while (!running_.empty()) {
        int status = 0;
        const pid_t pid = ::waitpid(-1, &status, 0);
        if (pid < 0) {
            if (errno == EINTR) return std::nullopt;
            // No child left to wait for (reaped elsewhere): each counts as ended, its outcome
            // unknown.
            ProcessEnd lost;
            lost.id = running_.begin()->second.id;
            running_.erase(running_.begin());
            return lost;
        }
        const auto it = running_.find(pid);
        if (it == running_.end()) continue;  // a child this pool did not start
        ProcessEnd end;
        end.id = it->second.id;
        end.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - it->second.started)
                .count();
        if (WIFEXITED(status)) {
            end.exitCode = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            end.signal = WTERMSIG(status);
            end.exitCode = 128 + end.signal;
        }
        running_.erase(it);
        return end;
    }
    return std::nullopt;
}
