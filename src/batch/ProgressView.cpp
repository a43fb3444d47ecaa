#include "batch/ProgressView.h"

#include <sys/ioctl.h>

#include <algorithm>

namespace {

std::string seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", s);
    return text;
}

void put(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace

unsigned terminalColumns(int fd) {
    struct winsize size {};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

ProgressView::ProgressView(std::FILE* stream, bool terminal, unsigned columns, std::size_t total)
    : stream_(stream),
      terminal_(terminal),
      columns_(columns),
      total_(total),
      started_(std::chrono::steady_clock::now()) {}

std::string ProgressView::barLine(std::size_t running) const {
    const long elapsed = static_cast<long>(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count());
    char clock[32];
    std::snprintf(clock, sizeof clock, "%ld:%02ld", elapsed / 60, elapsed % 60);
    const std::string counts = " " + std::to_string(done_) + "/" + std::to_string(total_) +
                               "  converted " + std::to_string(converted_) + "  failed " +
                               std::to_string(failed_) + "  skipped " + std::to_string(skipped_) +
                               "  running " + std::to_string(running) + "  " + clock;
    // The bar takes what the counts leave of the line, between 10 and 40 cells.
    const std::size_t room = columns_ > counts.size() + 3 ? columns_ - counts.size() - 3 : 0;
    const std::size_t cells = std::clamp<std::size_t>(room, 10, 40);
    const std::size_t filled = total_ == 0 ? cells : done_ * cells / total_;
    std::string line = "[" + std::string(filled, '#') + std::string(cells - filled, '.') + "]";
    line += counts;
    if (line.size() >= columns_) line.resize(columns_ > 1 ? columns_ - 1 : 0);
    return line;
}

void ProgressView::drawBar(std::size_t running) {
    put(stream_, "\r\x1b[K" + barLine(running));
    std::fflush(stream_);
}

void ProgressView::started(std::size_t running) {
    if (terminal_) drawBar(running);
}

void ProgressView::done(const BatchJob& job, const JobRecord& record, std::size_t running) {
    ++done_;
    switch (record.status) {
        case JobStatus::Converted:
            ++converted_;
            break;
        case JobStatus::Failed:
            ++failed_;
            break;
        case JobStatus::Skipped:
            ++skipped_;
            break;
        case JobStatus::NotRun:
            break;
    }
    const std::string first = record.messages.empty() ? "" : "  " + record.messages.front();
    std::string line;
    if (record.status == JobStatus::Failed) {
        line = "failed (exit " + std::to_string(record.exitCode) + ")  " + job.plot + first;
    } else if (!terminal_) {
        line = std::string(statusName(record.status)) + "  " + job.plot + " -> " + job.output;
        if (record.status == JobStatus::Converted) line += "  (" + seconds(record.seconds) + ")";
    }
    if (terminal_) {
        if (!line.empty()) put(stream_, "\r\x1b[K" + line + "\n");
        drawBar(running);
    } else {
        put(stream_,
            "[" + std::to_string(done_) + "/" + std::to_string(total_) + "] " + line + "\n");
        std::fflush(stream_);
    }
}

void ProgressView::close() {
    if (terminal_) {
        put(stream_, "\r\x1b[K");
        std::fflush(stream_);
    }
}
