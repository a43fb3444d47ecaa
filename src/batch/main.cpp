// trazon-batch: converts many plots with the trazon program found beside it, several at once,
// and reports on every plot in a CSV file and a closing summary.
#include "batch/BatchOptions.h"
#include "batch/BatchPlan.h"
#include "batch/BatchReport.h"
#include "batch/BatchRun.h"
#include "batch/ProgressView.h"

#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

namespace fs = std::filesystem;

namespace {

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int signal) {
    stopSignal = signal;
}

void say(const std::string& text) {
    const std::string line = "trazon-batch: " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// The trazon program beside this one (the installed front, or the converter in a build tree).
std::string converterBeside(const char* argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec && argv0 != nullptr && std::string(argv0).find('/') != std::string::npos)
        self = fs::canonical(argv0, ec);
    if (ec || self.empty()) return "trazon";
    return (self.parent_path() / "trazon").string();
}

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: the wait for a conversion returns to look at the flag
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaction(s, &action, nullptr);
}

bool writeReport(const std::string& path, const std::vector<BatchJob>& jobs,
                 const std::vector<JobRecord>& records) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        writeCsv(out, jobs, records);
        out.flush();
        if (!out) return false;
    }
    fs::rename(temporary, path, ec);
    return !ec;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<BatchConfig> config =
        parseBatchArguments(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!config) {
        say(error + " (trazon-batch --help tells the options)");
        return 2;
    }
    if (config->help) {
        std::cout << batchUsage();
        return 0;
    }
    if (config->jobs == 0) config->jobs = std::max(1u, std::thread::hardware_concurrency());

    const std::string converter = converterBeside(argc > 0 ? argv[0] : nullptr);
    if (::access(converter.c_str(), X_OK) != 0) {
        say("cannot find the trazon program at " + converter);
        return 2;
    }
    std::vector<std::string> problems;
    const std::vector<std::string> plots = findPlots(config->inputs, std::cin, problems);
    for (const std::string& p : problems)
        say(p);
    if (config->target == BatchTarget::Symbols) {
        std::error_code ec;
        fs::create_directories(config->output, ec);
        if (!fs::is_directory(config->output, ec)) {
            say("cannot make the folder " + config->output);
            return 2;
        }
    }
    const std::vector<BatchJob> jobs = planJobs(*config, plots);

    catchStopSignals();
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    ProgressView view(stderr, terminal, terminalColumns(STDERR_FILENO), jobs.size());
    BatchRunner runner(*config, converter, view);
    const auto started = std::chrono::steady_clock::now();
    const std::vector<JobRecord> records = runner.run(jobs, stopSignal);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    view.close();

    writeSummary(std::cout, jobs, records, wall, config->jobs);
    const std::string csv = runner.csvPath();
    const bool reported = writeReport(csv, jobs, records);
    std::cout << (reported ? "report: " : "report not written: ") << csv << "\n"
              << "logs:   " << runner.logsPath() << "/<name>/\n";
    std::cout.flush();

    if (stopSignal != 0) return 128 + stopSignal;
    if (!reported || !problems.empty()) return 1;
    for (const JobRecord& r : records)
        if (r.status == JobStatus::Failed) return 1;
    return 0;
}
