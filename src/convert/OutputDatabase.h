// The database a conversion writes its drawing into: locked from before it is looked at until it
// is saved, opened to be added to or made new with its "Sheet", and saved in place.
#pragma once

#include <chrono>
#include <string>

#include "base/PlatformFile.h"
#include "base/Status.h"
#include "convert/DbHandle.h"

// Status codes of OutputDatabase (a save fails with the database's own codes).
inline constexpr int kOutputLinkBroken = 1;  // the output is a link that leads to nothing
inline constexpr int kOutputInUse = 2;       // another run holds the output longer than the wait
inline constexpr int kOutputNotOpened = 3;   // the existing file is no database with a sheet
inline constexpr int kOutputNotMade = 4;     // no new database can be made for the output

class OutputDatabase {
public:
    OutputDatabase() = default;
    // Discards what was not saved; lets the lock go.
    ~OutputDatabase();
    OutputDatabase(const OutputDatabase&) = delete;
    OutputDatabase& operator=(const OutputDatabase&) = delete;

    // Takes the lock "<file>.lock" beside the file the output names (an output that is a link is
    // that file's lock), waiting at most `wait` for another run. Where no lock file can be made
    // (no directory, no write access) no save can be made either: that is no failure here, and
    // the save says why it fails.
    Status lock(const std::string& path, std::chrono::milliseconds wait);

    // With keepExisting and an existing file: opens it and finds its "Sheet". Otherwise makes a
    // new database with a "Sheet" (a symbol's or a schematic's); an existing file stays as it is
    // until the save replaces it. Only a regular file can be an output: a directory, a device or
    // a pipe is refused with the system's reason.
    Status open(const std::string& path, const LexEnvironment* settings, bool keepExisting,
                bool symbol);

    bool openedExisting() const { return openedExisting_; }
    const DbHandle& database() const { return database_; }
    const DbHandle& sheet() const { return sheet_; }
    // True when the database holds something to save.
    bool hasContent() const;

    // Saves the database and, saved or not, lets the lock go.
    Status save();

private:
    platform::FileLock lock_;
    DbHandle database_;
    DbHandle sheet_;
    bool openedExisting_ = false;
};
