// What a batch found out about each plot, and how it tells it: the messages a run left in its
// log folder, the number of objects its output holds, the CSV report and the closing summary.
#pragma once

#include "batch/BatchPlan.h"

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

enum class JobStatus { NotRun, Skipped, Converted, Failed };

struct JobRecord {
    JobStatus status = JobStatus::NotRun;
    int exitCode = -1;  // -1: no conversion ran
    std::vector<std::string> messages;
    std::optional<std::size_t> objects;  // known for saved outputs
    double seconds = 0.0;
};

// The name of the file beside a run's logs that holds what the run wrote on its standard
// output and error (removed again when the run wrote nothing).
inline constexpr const char* kRunOutputFile = "trazon.out";

// The messages of the run whose logs stand in `folder`: each "<Mess.N> text" line of the error
// log, then of the warning log, as "N text", then every other line the run wrote on its
// standard output or error.
std::vector<std::string> runMessages(const std::string& folder);

// The number of drawing objects in the sheet of a symbol or sheet file, loaded read-only; no
// value when the file cannot be loaded.
std::optional<std::size_t> countObjects(const std::string& path);

// One CSV field: quoted (with its quotes doubled) when it holds a comma, a quote, a carriage
// return or a line feed.
std::string csvField(std::string_view text);

// The report: a header line and one line per job (in the order given), CRLF line ends.
void writeCsv(std::ostream& out, const std::vector<BatchJob>& jobs,
              const std::vector<JobRecord>& records);

// The closing table: plots, objects and seconds by outcome, the wall time, and every failure
// with its messages.
void writeSummary(std::ostream& out, const std::vector<BatchJob>& jobs,
                  const std::vector<JobRecord>& records, double wallSeconds, unsigned width);

const char* statusName(JobStatus status);
