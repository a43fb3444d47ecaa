#include "batch/BatchRun.h"

#include "batch/ProcessPool.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// True when path lies in folder (both absolute and normal).
bool isWithin(const std::string& path, const std::string& folder) {
    const fs::path relative = fs::path(path).lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

std::uintmax_t sizeOf(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

}  // namespace

BatchPaths batchPaths(const BatchConfig& config) {
    const std::string output = absolutePath(config.output);
    BatchPaths paths;
    paths.logs = config.logs.empty() ? output + "/log/batch" : absolutePath(config.logs);
    paths.csv = config.csv.empty() ? output + "/log/batch.csv" : absolutePath(config.csv);
    paths.fallback = output + ".batch-log";
    return paths;
}

BatchRunner::BatchRunner(const BatchConfig& config, std::string converter, ProgressView& view)
    : config_(config), converter_(std::move(converter)), view_(view), paths_(batchPaths(config)) {
    if (config_.target == BatchTarget::Sheets) circuit_ = absolutePath(config_.output);
}

bool BatchRunner::circuitMissing() const {
    std::error_code ec;
    return !circuit_.empty() && !fs::is_directory(circuit_, ec);
}

bool BatchRunner::insideCircuit(const std::string& path) const {
    return !circuit_.empty() && isWithin(path, circuit_);
}

std::string BatchRunner::csvPath() const {
    if (circuitMissing() && insideCircuit(paths_.csv)) return paths_.fallback + "/batch.csv";
    return paths_.csv;
}

std::string BatchRunner::logFolder(const BatchJob& job, bool& parked) const {
    // Making a folder inside the circuit before the circuit exists would make it a plain
    // folder, which the conversion would then take for a circuit without settings.
    parked = circuitMissing() && insideCircuit(paths_.logs);
    return (parked ? paths_.fallback : paths_.logs) + "/" + job.name;
}

void BatchRunner::moveParkedLogs(const std::vector<BatchJob>& jobs) {
    if (parked_.empty() || circuitMissing()) return;
    std::error_code ec;
    fs::create_directories(paths_.logs, ec);
    for (std::size_t i : parked_) {
        const std::string target = paths_.logs + "/" + jobs[i].name;
        fs::remove_all(target, ec);
        fs::rename(paths_.fallback + "/" + jobs[i].name, target, ec);
    }
    parked_.clear();
    fs::remove(paths_.fallback, ec);  // only when nothing else is left in it
}

std::vector<JobRecord> BatchRunner::run(const std::vector<BatchJob>& jobs,
                                        const volatile std::sig_atomic_t& stop) {
    std::vector<JobRecord> records(jobs.size());
    std::deque<std::size_t> queue;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (jobs[i].skip) {
            records[i].status = JobStatus::Skipped;
            view_.done(jobs[i], records[i], 0);
        } else {
            queue.push_back(i);
        }
    }
    // Sizes are taken once: a file that grows during the sort must not upset its order.
    std::vector<std::uintmax_t> sizes(jobs.size(), 0);
    for (std::size_t i : queue)
        sizes[i] = sizeOf(jobs[i].plot);
    std::stable_sort(queue.begin(), queue.end(),
                     [&sizes](std::size_t a, std::size_t b) { return sizes[a] > sizes[b]; });

    ProcessPool pool(config_.jobs);
    std::vector<std::string> folders(jobs.size());
    std::vector<bool> parked(jobs.size(), false);

    auto finish = [&](const ProcessEnd& end) {
        const std::size_t i = end.id;
        JobRecord& r = records[i];
        r.exitCode = end.exitCode;
        r.seconds = end.seconds;
        r.messages = runMessages(folders[i]);
        if (end.signal != 0)
            r.messages.push_back("trazon was ended by signal " + std::to_string(end.signal));
        r.status = r.exitCode == 0 ? JobStatus::Converted : JobStatus::Failed;
        if (r.status == JobStatus::Converted) r.objects = countObjects(jobs[i].output);
        std::error_code ec;
        const std::string out = folders[i] + "/" + kRunOutputFile;
        if (fs::exists(out, ec) && fs::file_size(out, ec) == 0) fs::remove(out, ec);
        if (parked[i]) parked_.push_back(i);
        moveParkedLogs(jobs);
        view_.done(jobs[i], r, pool.running());
    };

    while (!queue.empty() || pool.running() > 0) {
        // Until the circuit exists, one conversion at a time, the smallest plot first.
        const bool oneAtATime = circuitMissing();
        while (stop == 0 && !queue.empty() && pool.hasRoom() &&
               !(oneAtATime && pool.running() > 0)) {
            const std::size_t i = oneAtATime ? queue.back() : queue.front();
            oneAtATime ? queue.pop_back() : queue.pop_front();
            bool park = false;
            folders[i] = logFolder(jobs[i], park);
            parked[i] = park;

            std::string error;
            std::error_code ec;
            fs::create_directories(folders[i], ec);
            if (ec) error = "cannot make the log folder " + folders[i] + ": " + ec.message();

            ProcessSpec spec;
            spec.argv = {converter_, "-m", "new"};
            spec.argv.insert(spec.argv.end(), config_.passOn.begin(), config_.passOn.end());
            spec.argv.insert(spec.argv.end(), {"-o", jobs[i].output, jobs[i].plot});
            spec.environment = environmentWith("TRAZON_LOG_DIR", folders[i]);
            spec.outputFile = folders[i] + "/" + kRunOutputFile;
            if (error.empty() && pool.start(i, spec, error)) {
                view_.started(pool.running());
                if (oneAtATime) break;
                continue;
            }
            records[i].status = JobStatus::Failed;
            records[i].messages = {error};
            if (park) parked_.push_back(i);
            view_.done(jobs[i], records[i], pool.running());
        }
        if (pool.running() == 0) {
            if (stop != 0 || queue.empty()) break;
            continue;
        }
        const std::optional<ProcessEnd> end = pool.waitOne();
        if (!end) continue;  // interrupted: look at the stop flag, then wait again
        finish(*end);
    }
    return records;
}
