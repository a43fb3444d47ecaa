// File path operations: joining, splitting, extensions, normalising and the few file-system
// queries the converter needs. "/" and "\" both separate; separators this code adds are "/".
#pragma once

#include <string>
#include <string_view>

// Appends a component to path in place: an empty path takes the component as it is; a separator
// on both sides of the joint keeps one; a separator on neither side gets a "/" between.
void pathAppend(std::string& path, std::string_view component);

// A new string: path with component appended by the rule of pathAppend.
std::string pathJoin(std::string_view path, std::string_view component);

// True for "/" and "\".
bool isPathSeparator(char c);

// Everything before the last separator, separators as they were. A drive ("C:") gets a "/"; a
// path without separator gives "."; a file directly below the root gives the root separator; a
// network path whose cut would leave only the host is returned whole.
std::string pathDirPart(std::string_view path);

// Everything after the last separator (the whole path when it has none); when ext is given
// (with its dot) it is removed as pathRemoveExtension does. Empty for a network path that
// names only a host and a share.
std::string pathFilePart(std::string_view path, std::string_view ext = {});

// Position of the last "." after the last separator, -1 when there is none.
long pathExtensionPos(std::string_view path);

// The path cut at its extension; with ext given (such as ".sht"), only when the path's
// extension is exactly ext.
std::string pathRemoveExtension(std::string_view path, std::string_view ext = {});

// At least 5 characters, the first two the same separator, and that separator again later.
bool isNetworkPath(std::string_view path);

// Begins with a separator, or with a letter and ":".
bool isAbsolutePath(std::string_view path);

// Removes "." components, resolves ".." where it can and turns separators into "/". A relative
// path comes out with a leading "./" unless it begins with "..".
std::string normalisePath(std::string_view path);

// The normalised full path: a relative path is taken from the current directory.
std::string makeAbsolutePath(std::string_view path);

// 0: does not exist; 1: directory; 2: file; 3: file marked hidden, system or temporary (never
// reported on POSIX systems, which have no such marks).
int pathKind(std::string_view path);

// Makes one directory level. 1 on success, 0 otherwise (platform::makeDirectory gives the reason).
int makeDirectory(std::string_view path);

// Access check with a mode of 0 (exists), 2 (write), 4 (read), 6 (read and write). 1 when
// allowed, 0 otherwise.
inline constexpr int kAccessExists = 0;
inline constexpr int kAccessWrite = 2;
inline constexpr int kAccessRead = 4;
inline constexpr int kAccessReadWrite = 6;
int testAccess(std::string_view path, int mode);

// Removes a file (not a directory). 1 on success.
int removeFile(std::string_view path);

// Sets the permission bits of a file (such as 0666). 1 on success.
int setFileMode(std::string_view path, int mode);

// The current working directory, empty when it cannot be read.
std::string currentDirectory();
