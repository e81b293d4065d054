// Every call that differs between POSIX systems and Windows: the result
// file's handle, its exclusive creation, writes, sync and the replacing
// rename, whether a standard stream is a terminal, and the process-level
// set-up of standard streams and signals.
// Nothing outside system/platform.cpp names an operating system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace telk {

// An open file: a descriptor on POSIX systems, a HANDLE on Windows.
using File = std::intptr_t;
inline constexpr File kNoFile = -1;

// Creates `name` for writing, in binary, failing if it already exists.
// Returns kNoFile on failure.
File create_new_file(const char* name);

// Writes all `size` bytes.
bool write_all(File file, const char* data, std::size_t size);

// Asks the system to start writing [offset, offset + size) to disk now, so
// that sync_file() later waits only for the tail.  A hint: may do nothing.
void start_writeback(File file, long long offset, long long size);

// Waits until every byte written is on disk.
bool sync_file(File file);

bool close_file(File file);

// Puts `from` in the place of `to`, replacing an existing `to` in one step.
bool replace_file(const char* from, const char* to);

void remove_file(const char* name);

// Whether the last failed create_new_file() found the name taken.
bool last_error_is_exists();

// The system's reason for the last failed call above, as one line.
std::string last_error_text();

// A number that tells this process from others running at the same time.
long process_id();

// Whether `stream` is a terminal a person types at or reads: a tty on
// POSIX systems, a console on Windows (not a pipe, a file or the null
// device).
bool is_terminal(std::FILE* stream);

// Opens the null device on any of standard input, output and error that is
// closed, so that no file the program opens can take their place.
void guard_standard_streams();

// Makes a console that has gone away, or a file-size limit, into write
// errors rather than deaths; on an interrupt or termination removes the
// file whose name is in `temporary` (when not empty) and dies of the
// signal as usual.  The name's storage must last to the end of the run.
void handle_signals(const char* temporary);

}  // namespace telk
