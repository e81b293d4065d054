// Every call that differs between POSIX systems and Windows: where the
// result file is and what stands there, the new file that replaces it
// (made, written, synced, named and put in its place), whether a standard
// stream is a terminal, and the process-level set-up of standard streams
// and signals.  Nothing outside
// system/platform.cpp names an operating system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace telk {

// An open file: a descriptor on POSIX systems, a HANDLE on Windows.
using File = std::intptr_t;
inline constexpr File kNoFile = -1;

// Where a file that is to be replaced lives, its links followed, and what
// of it the new file keeps.
struct Destination {
  std::string path;        // the name given, or the file its link leads to
  std::string directory;   // the directory holding `path`; "." for the working one
  bool exists = false;     // an old file is there
  unsigned mode = 0;       // its permission bits, owner and group (POSIX)
  long long owner = -1;
  long long group = -1;
};

// Fills *d for the file `name` in the working directory.  False, with the
// reason in *reason, when nothing may be replaced there: a directory, a
// device, a link that leads nowhere, or a file the user may not write.
bool find_destination(const char* name, Destination* d, std::string* reason);

// The new file while it is written.
struct Temporary {
  File file = kNoFile;
  std::string name;    // the name it has, or is to have, in d.directory
  bool named = false;  // it would outlive the process under `name`
};

// Opens a new, empty file in d.directory with the old file's permission
// bits, and its owner and group where the process may set them; with no
// old file, what fopen("w") would give under the umask.  Until
// name_temporary() the file vanishes however the process ends: it has no
// name (Linux) or is marked for deletion on close (Windows).  Where the
// file system cannot hold a file without a name it is named at once, and
// the signal handlers remove it.
bool create_temporary(const Destination& d, Temporary* t);

// Writes all `size` bytes.
bool write_all(File file, const char* data, std::size_t size);

// Asks the system to start writing [offset, offset + size) to disk now, so
// that sync_file() later waits only for the tail.  A hint: may do nothing.
void start_writeback(File file, long long offset, long long size);

// Waits until every byte written is on disk.
bool sync_file(File file);

// Gives the finished file its name in d.directory, so that it outlives the
// process; from then on the signal handlers remove it.
bool name_temporary(const Destination& d, Temporary* t);

bool close_file(File file);

// Puts the named, closed file in the place of d.path in one step, and
// makes the change durable.  On failure the file is removed.
bool replace_with_temporary(const Destination& d, Temporary* t);

// Closes the file if open and removes it if named.
void remove_temporary(Temporary* t);

// Removes the run's temporary file if it has a name, for a run that ends
// at once, without unwinding.  Asks for no memory.
void remove_named_temporary();

// The system's reason for the last failed call above, as one line.
std::string last_error_text();

// Whether `stream` is a terminal a person types at or reads: a tty on
// POSIX systems, a console on Windows (not a pipe, a file or the null
// device).
bool is_terminal(std::FILE* stream);

// Opens the null device on any of standard input, output and error that is
// closed, so that no file the program opens can take their place.
void guard_standard_streams();

// Makes a console that has gone away, or a file-size limit, into write
// errors rather than deaths.  On any other signal that would end the
// process and can be caught, removes the run's named temporary file, if
// there is one, and dies of the signal as usual.
void handle_signals();

}  // namespace telk
