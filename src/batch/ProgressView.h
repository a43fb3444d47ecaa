// How a batch shows its progress: on a terminal one bar redrawn in place (with a line for each
// failure above it), elsewhere one plain line per plot.
#pragma once

#include "batch/BatchReport.h"

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

class ProgressView {
public:
    // `terminal`: draw the bar (the stream is a terminal); `columns`: its width.
    ProgressView(std::FILE* stream, bool terminal, unsigned columns, std::size_t total);

    // A plot is done (converted, failed or skipped).
    void done(const BatchJob& job, const JobRecord& record, std::size_t running);
    // A conversion started.
    void started(std::size_t running);
    // Clears the bar before the summary is written.
    void close();

    // The bar line for the counts (without the carriage return): for tests.
    std::string barLine(std::size_t running) const;

private:
    void drawBar(std::size_t running);

    std::FILE* stream_;
    bool terminal_;
    unsigned columns_;
    std::size_t total_;
    std::size_t done_ = 0, converted_ = 0, failed_ = 0, skipped_ = 0;
    std::chrono::steady_clock::time_point started_;
};

// The width of the terminal behind the file descriptor (80 when it cannot be told).
unsigned terminalColumns(int fd);
