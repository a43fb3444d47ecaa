// A file's new content written beside it under a temporary name and put in its place only when
// complete: until the rename the old file stays exactly as it was, and a process killed at any
// moment leaves either the old file or the whole new one.
#pragma once

#include <string>
#include <string_view>

#include "base/PlatformFile.h"

class ReplacementFile {
public:
    ReplacementFile() = default;
    // Removes a temporary file that was not committed.
    ~ReplacementFile() { abandon(); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Starts replacing the entry name of directory dir. With noFollow neither dir nor name may
    // be a link (ELOOP); otherwise a link at name would be replaced, never followed. Creates the
    // temporary file "<name>.tmp", or "<name>.<k>.tmp" for the first k from 1 whose name is free
    // (never through a link), and gives it the permission bits, owner and group of the file it
    // replaces. 0 or the error number (EISDIR when name is a directory).
    int begin(const std::string& dir, const std::string& name, bool noFollow);
    // The temporary file to write to.
    platform::File& file() { return file_; }
    // Syncs and closes the temporary file, renames it over the target and syncs the directory.
    // 0, or the error number; on failure the temporary file is removed and the target is as it
    // was. Once the rename has happened the new file stands: a failed sync of the directory
    // after it is no failure (the rename is then either kept or lost as a whole).
    int commit();
    // Closes and removes the temporary file, if any.
    void abandon();
    // The temporary file's name in the directory (empty before begin).
    const std::string& temporaryName() const { return temporary_; }

private:
    platform::Directory directory_;
    platform::File file_;
    std::string name_;
    std::string temporary_;
};

// Replaces the file at path with content through a ReplacementFile; neither the file nor its
// directory may be a link. 0 or the error number.
int replaceFileContent(const std::string& path, std::string_view content);
