#include "batch/BatchReport.h"

#include "db/LexClassRegistry.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace {

std::string withoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return line;
}

// "<Mess.36752> text" as "36752 text": the number, its padding dropped.
void addLogMessages(const std::string& path, std::vector<std::string>& messages) {
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("<Mess.", 0) != 0) continue;
        const std::size_t close = line.find('>');
        if (close == std::string::npos) continue;
        std::string number = line.substr(6, close - 6);
        while (!number.empty() && number.back() == ' ')
            number.pop_back();
        std::string text = withoutLineEnd(line.substr(close + 1));
        if (!text.empty() && text.front() == ' ') text.erase(0, 1);
        messages.push_back(number + " " + text);
    }
}

std::string seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", s);
    return text;
}

}  // namespace

const char* statusName(JobStatus status) {
    switch (status) {
        case JobStatus::Skipped:
            return "skipped";
        case JobStatus::Converted:
            return "converted";
        case JobStatus::Failed:
            return "failed";
        case JobStatus::NotRun:
            break;
    }
    return "not run";
}

std::vector<std::string> runMessages(const std::string& folder) {
    std::vector<std::string> messages;
    addLogMessages(folder + "/trazon.err", messages);
    addLogMessages(folder + "/trazon.wrn", messages);
    std::ifstream out(folder + "/" + kRunOutputFile, std::ios::binary);
    for (std::string line; std::getline(out, line);) {
        line = withoutLineEnd(line);
        if (!line.empty()) messages.push_back(line);
    }
    return messages;
}

std::optional<std::size_t> countObjects(const std::string& path) {
    static const int initialised = initialiseDatabaseLayer();
    (void)initialised;
    const std::unique_ptr<LexDatabase> database =
        LexDatabase::open(path, nullptr, LexDatabase::kModeReadOnly);
    if (!database || database->sheet() == nullptr) return std::nullopt;
    return database->sheet()->objectCount();
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void writeCsv(std::ostream& out, const std::vector<BatchJob>& jobs,
              const std::vector<JobRecord>& records) {
    out << "plot,output,status,exit code,messages,objects,seconds\r\n";
    for (std::size_t i = 0; i < jobs.size() && i < records.size(); ++i) {
        const JobRecord& r = records[i];
        std::string messages;
        for (const std::string& m : r.messages)
            messages += (messages.empty() ? "" : "; ") + m;
        const bool ran = r.status == JobStatus::Converted || r.status == JobStatus::Failed;
        out << csvField(jobs[i].plot) << ',' << csvField(jobs[i].output) << ','
            << statusName(r.status) << ',' << (ran ? std::to_string(r.exitCode) : "") << ','
            << csvField(messages) << ',' << (r.objects ? std::to_string(*r.objects) : "") << ','
            << (ran ? seconds(r.seconds) : "") << "\r\n";
    }
}

void writeSummary(std::ostream& out, const std::vector<BatchJob>& jobs,
                  const std::vector<JobRecord>& records, double wallSeconds, unsigned width) {
    struct Row {
        JobStatus status;
        std::size_t plots = 0, objects = 0;
        double seconds = 0.0;
    };
    Row rows[] = {
        {JobStatus::Converted}, {JobStatus::Failed}, {JobStatus::Skipped}, {JobStatus::NotRun}};
    Row total{JobStatus::NotRun};
    for (const JobRecord& r : records) {
        for (Row& row : rows) {
            if (row.status != r.status) continue;
            ++row.plots;
            row.objects += r.objects.value_or(0);
            row.seconds += r.seconds;
        }
        ++total.plots;
        total.objects += r.objects.value_or(0);
        total.seconds += r.seconds;
    }
    auto line = [&out](const char* label, const Row& row, bool counts) {
        out << std::left << std::setw(11) << label << std::right << std::setw(7) << row.plots;
        if (counts) out << std::setw(10) << row.objects << std::setw(10) << seconds(row.seconds);
        out << '\n';
    };
    out << std::left << std::setw(11) << "" << std::right << std::setw(7) << "plots"
        << std::setw(10) << "objects" << std::setw(10) << "seconds" << '\n';
    for (const Row& row : rows) {
        // "not run" appears only when the batch was interrupted.
        if (row.status == JobStatus::NotRun && row.plots == 0) continue;
        line(statusName(row.status), row,
             row.status == JobStatus::Converted || row.status == JobStatus::Failed);
    }
    line("total", total, true);
    out << "wall time " << seconds(wallSeconds) << " s, at most " << width
        << " conversions at once\n";

    bool header = false;
    for (std::size_t i = 0; i < jobs.size() && i < records.size(); ++i) {
        if (records[i].status != JobStatus::Failed) continue;
        if (!header) out << "failed:\n";
        header = true;
        out << "  exit " << records[i].exitCode << "  " << jobs[i].plot << '\n';
        for (const std::string& m : records[i].messages)
            out << "          " << m << '\n';
    }
}
