// Whole-file reads and writes for the host program. A write goes to a
// temporary file beside the target and is renamed over it only when every
// byte is on disk, so a failed save never leaves a half-written file.
#pragma once

#include <string>

namespace host {

// Reads the file's bytes. False, with `error` saying why ("No such file or
// directory"), when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

// Replaces `path` with `bytes` through a temporary file in the same folder.
// False, with `error` saying why, when the file could not be written; the
// previous file is then untouched and no temporary file is left behind.
// A new file gets the usual permissions (0666 less the umask); an existing
// one keeps its own.
// A file the user may not write (no permission, or no write bit at all, as
// a read-only file of mode 0444 is even to root) is refused; a replaced
// file keeps its mode, and its owner and group where the user may set them.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

// Whether WriteFileAtomically could write `path`: not a folder, not a file
// the user may not write, in a folder that exists and the user may write.
// False with `error` saying why ("is a folder, not a file").
bool CheckWritable(const std::string& path, std::string& error);

// Whether the two paths name one existing file.
bool SameFile(const std::string& a, const std::string& b);

// The folder part of a path ("." for a bare file name).
std::string FolderOf(const std::string& path);
// The file name part of a path.
std::string FileNameOf(const std::string& path);

}  // namespace host
