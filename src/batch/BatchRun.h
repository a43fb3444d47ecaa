// Runs the conversions of a batch: at most the configured number of trazon processes at once,
// each with its own log folder (through TRAZON_LOG_DIR), and gathers what each left.
#pragma once

#include "batch/BatchOptions.h"
#include "batch/BatchPlan.h"
#include "batch/BatchReport.h"
#include "batch/ProgressView.h"

#include <csignal>
#include <string>
#include <vector>

// Where a batch writes besides its outputs.
struct BatchPaths {
    std::string logs;      // the runs' log folders are <logs>/<name>/
    std::string csv;       // the report
    std::string fallback;  // logs and report of a circuit that no run could make
};

// The paths of the configuration, made absolute: the given ones, else <output>/log/batch and
// <output>/log/batch.csv; the fallback is <output>.batch-log beside the circuit.
BatchPaths batchPaths(const BatchConfig& config);

class BatchRunner {
public:
    BatchRunner(const BatchConfig& config, std::string converter, ProgressView& view);

    // Converts every job that is not skipped and returns one record per job, in the order of
    // `jobs`. When `stop` becomes non-zero (a signal), no further conversion starts; those
    // running are waited for, and the rest are left "not run".
    //
    // A circuit that does not exist yet is made by the first conversion into it, so until it
    // exists conversions run one at a time (the smallest plot first); their logs wait in the
    // fallback folder and move into the circuit once it is there. Then the largest plots start
    // first, so that the last conversions to end are short ones.
    std::vector<JobRecord> run(const std::vector<BatchJob>& jobs,
                               const volatile std::sig_atomic_t& stop);

    // The report's path: the configured one, or the fallback's batch.csv when it lies inside a
    // circuit that was never made.
    std::string csvPath() const;
    // The folder that holds the runs' log folders: the configured one, or the fallback when
    // logs are still waiting there.
    std::string logsPath() const { return parked_.empty() ? paths_.logs : paths_.fallback; }

private:
    bool circuitMissing() const;
    bool insideCircuit(const std::string& path) const;
    std::string logFolder(const BatchJob& job, bool& parked) const;
    void moveParkedLogs(const std::vector<BatchJob>& jobs);

    BatchConfig config_;
    std::string converter_;
    ProgressView& view_;
    BatchPaths paths_;
    std::string circuit_;              // the absolute circuit path (sheets only)
    std::vector<std::size_t> parked_;  // jobs whose logs wait in the fallback folder
};
