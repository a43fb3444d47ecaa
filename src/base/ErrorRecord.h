// The process-wide error record: the three most recent (code, severity) pairs of low-level and
// database failures. Every failing operation that returns 0 also records its code here. What
// failed on which file, and the system's reason, travel with the result instead (base/Status.h).
#pragma once

#include <array>

// Severities of recorded failures.
inline constexpr int kSeverityError = 4;  // an error
inline constexpr int kSeverityMinor = 2;  // a lesser failure

class ErrorRecord {
public:
    // The one record of the process.
    static ErrorRecord& instance();

    // Stores (code, severity) as the newest entry; with three held, the oldest is dropped.
    void record(int code, int severity);
    // 1 when the record is empty, else whether the newest entry's severity is below level.
    int belowLevel(int level) const;
    // The code k places below the newest (k beyond the oldest gives the oldest); 0 when empty.
    int code(int k = 0) const;
    // The severity k places below the newest, with the same rule; 0 when empty.
    int severity(int k = 0) const;
    // Number of entries held (0 to 3).
    int size() const { return newest_ + 1; }
    // Forgets every entry (for tests and for a fresh start).
    void clear();

private:
    struct Entry {
        int code = 0;
        int severity = 0;
    };
    std::array<Entry, 3> entries_{};
    int newest_ = -1;
};

// Shorthand for ErrorRecord::instance().record(code, severity).
void recordError(int code, int severity);
