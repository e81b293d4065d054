// The operating system, behind one header: the replace that never loses a
// file, whether a standard stream is a terminal, and the process's set-up
// of its standard streams and signals.
//
// What every system shares is in system/replace.cpp (the order of a
// replace's steps, the temporary file's name), system/signals.cpp (the
// hold, which signals end a run, the names their handler removes, and what
// it does) and system/console.cpp (the wait before a window of its own
// closes); system/posix.cpp and system/windows.cpp hold the calls, under
// the names of the `os` part at the end.  Nothing outside this room names
// an operating system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <thread>
#include <utility>

namespace telk {

// An open file: a descriptor on POSIX systems, a HANDLE on Windows.
using File = std::intptr_t;
inline constexpr File kNoFile = -1;

// Which file or directory a path leads to, so that two paths of one are
// told from two: the device and inode on POSIX systems, the volume and
// file index on Windows.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  bool known = false;  // the system told
  auto operator<=>(const FileId&) const = default;
};

// Where a file that is to be replaced lives, its links followed, and what
// of it the new file keeps.
struct Destination {
  std::string path;        // the name given, or the file its link leads to
  std::string directory;   // the directory holding `path`; "." for the working one
  bool exists = false;     // an old file is there
  unsigned mode = 0;       // its mode bits (set-id and sticky too), owner and group (POSIX)
  long long owner = -1;
  long long group = -1;
};

// A file of the working directory replaced whole or not at all: its bytes
// go to a new file beside it (beside the file a link leads to), which takes
// its place only once every byte is written, synced and closed, with the
// old file's permissions.  Until then the old file stays exactly as it was,
// however the run ends; and the new file never outlives a run that did not
// put it in place.
class Replacement {
 public:
  explicit Replacement(std::string name) : name_(std::move(name)) {}
  ~Replacement();  // removes the new file unless it was put in place
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;

  // Makes sure the file may be replaced, and opens the new file, unnamed
  // where the system allows.  On failure, with the line to show, nothing
  // has been touched.
  bool create(std::string* error);
  // False, with the line to show, when `other` (created) would replace
  // the same file as this one under another name: a link, hard or
  // symbolic, between the two names.  The second rename would then take
  // the first one's file away.
  bool apart_from(const Replacement& other, std::string* error) const;

  // The new file, for writes, writeback and syncs.
  File file() const { return temporary_.file; }
  // The line to show for a failed write or sync of file(), with the reason.
  std::string write_failure(const std::string& reason) const;

  // Syncs, names and closes the new file: it now lasts under a temporary
  // name beside the old one, which is still in place.
  bool finish(std::string* error);
  // Puts the finished file in place: put_in_place() below, for one file.
  bool put_in_place(std::string* error);

  // Closes and removes the new file, if there is one.
  void discard();

 private:
  friend bool put_in_place(std::span<Replacement* const> files, std::string* error);
  std::string directory_failure() const;
  void publish();    // the handlers remove the named file from now on
  void withdraw();   // and no longer

  std::string name_;
  Destination destination_;
  struct Temporary {
    File file = kNoFile;
    std::string name;    // the name it has, or is to have, in the directory
    bool named = false;  // it would outlive the process under `name`
    int slot = -1;       // where the handlers find `name`
  } temporary_;
};

// Puts finished files in place as one step, in their order: each renamed
// over its old file, then their directories synced, so that the renames
// are on disk.  Signals are held from the first rename to the last sync,
// so that an interrupt leaves every file new, or (coming before) every
// file old; and the directories are locked against other runs from
// before the first rename to after the last sync, so that two runs'
// renames do not interleave and the files stand from one run.
//
// False, with the line to show, when a rename fails (the files before it
// stand new; it and those after it keep their old files, and their new
// ones are removed) or when a directory cannot be synced (every file is in
// place, but may not survive a power cut, and the line says so).
bool put_in_place(std::span<Replacement* const> files, std::string* error);

// While one of these lives, a signal that would end the run waits, so that
// making, naming, renaming and removing a file and telling the handlers
// about it are one step to them.  A hold holds the signals of the thread
// that makes it: every other thread telk starts (start_thread) blocks them
// all its life, so that they reach the main thread only.  Holds nest
// within a thread: the signals wait until its outermost hold ends.
class HeldSignals {
 public:
  HeldSignals();
  ~HeldSignals();
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;
};

// Starts a thread that never takes a signal.  A new thread begins with the
// signal mask of the thread that starts it: held while it starts, it
// blocks every signal from its first instruction to its last, and the
// caller's mask is back as it was once it has started.  Were it to take a
// signal, the handler would run beside a held step of the main thread,
// and the run would end in the middle of it.
template <typename... Args>
std::thread start_thread(Args&&... args) {
  const HeldSignals held;
  return std::thread(std::forward<Args>(args)...);
}

// Removes every named temporary file of the run, for a run that ends at
// once, without unwinding.  Asks for no memory.
void remove_named_temporaries();

// The handlers' list of the run's temporary files while they would outlive
// the process.  A name is published with one store once the file exists
// under it, and withdrawn before the file is renamed or removed, each in a
// held step; `name` stays valid while published.  publish_temporary gives
// the slot to withdraw, -1 when the list is full.
int publish_temporary(const char* name);
void withdraw_temporary(int slot);

// The bytes that take away a line shown on standard error (a progress
// line), or null for none; `wipe` stays valid while set.  A run that
// ends by a signal writes them before it dies, so that the line is not
// left unfinished under the shell's prompt; so does wipe_shown_line().
void set_shown_line_wipe(const char* wipe);
// Writes the wipe set, if any, once.  Asks for no memory, and may be
// called from a signal handler.
void wipe_shown_line();

// Whether `stream` is a terminal a person types at or reads: a tty on
// POSIX systems, a console on Windows (not a pipe, a file or the null
// device).
bool is_terminal(std::FILE* stream);

// Opens the null device on any of standard input, output and error that is
// closed, so that no file the program opens can take their place.
void guard_standard_streams();

// Makes a console that has gone away, or a file-size limit, into write
// errors rather than deaths.  On any other signal that would end the
// process and can be caught, removes the run's named temporary files, if
// there are any, and dies of the signal as usual.
void handle_signals();

// Whether a run should wait for Enter before it ends, so that its last
// lines can be read: it was started on a console of its own (from Explorer
// on Windows), which closes when the last process on it ends, and a person
// is at that console.  `console_processes` is how many processes share the
// console: 1 when telk is alone on it, more under a shell, 0 with none.
inline bool waits_before_closing(unsigned console_processes, bool input_is_terminal,
                                 bool error_is_terminal) {
  return console_processes == 1 && input_is_terminal && error_is_terminal;
}

// Where a run waits before closing: drops the rest of the line last
// answered, says "Press Enter to close this window." on `err` and waits for
// Enter or the end of `in`.  Elsewhere nothing.
void keep_window_open(std::FILE* in, std::FILE* err);

// The calls beneath, one definition in each system's file.  Only
// system/'s shared files use them, and the tests.
namespace os {

long process_id();

// Fills *d for the file `name` in the working directory.  False, with the
// reason in *reason, when nothing may be replaced there: a directory, a
// device, a link that leads nowhere, or a file the user may not write.
bool find_destination(const char* name, Destination* d, std::string* reason);

// A new, empty file in d.directory that vanishes however the process ends,
// with the old file's permission bits and, where the process may set
// them, its owner and group; with no old file, what fopen("w") would give.
// It has no name (Linux), or none yet: kNoFile, with the system's reason,
// where the system cannot hold a file without a name.
File open_unnamed(const Destination& d);
// Gives it the name `name`, so that it outlives the process; false with
// EEXIST's like when the name is taken.
bool link_unnamed(File file, const char* name);

// A new file under `name`, or kNoFile.  *lasting says whether it would
// outlive the process as it is (POSIX) or vanishes until keep() (Windows,
// where it is marked for deletion on close).
File open_named(const Destination& d, const char* name, bool* lasting);
bool name_taken();  // the last open_named or link_unnamed met a taken name
bool keep(File file);
// Gives the new file the old one's mode bits once more, once it is
// written: a write by a process without the privilege clears the
// set-user-ID bit (and the set-group-ID bit, with group execute).  Where
// there is no old file, and on Windows, nothing.
void keep_mode(File file, const Destination& d);

bool write_all(File file, const char* data, std::size_t size);
// Writes to standard error with the system's own call, past the C
// library's buffers; may be called from a signal handler.
void write_error(const char* data, std::size_t size);
// Asks the system to start writing [offset, offset + size) to disk now, so
// that sync_file() later waits only for the tail.  A hint: may do nothing.
void start_writeback(File file, long long offset, long long size);
bool sync_file(File file);
bool close_file(File file);
// Puts `from` in the place of `to` in one step.
bool rename_over(const char* from, const char* to);

// Whether the files at `a` and `b` (links followed) are one file now, by
// their ids.  Both are held open while their ids are compared: the id of
// a file that is gone may be given to a new one at once, so that ids read
// one after the other, while other runs replace the files, can match for
// two files.  False where either is not there.
bool same_file(const std::string& a, const std::string& b);

// A directory opened to be locked and synced, and *id, which directory it
// is; kNoFile, with the system's reason, where it cannot be opened.
File open_directory(const std::string& directory, FileId* id);
// Takes the lock that runs of telk take on a directory to put their files
// in place there, waiting while another run holds it.  It is advisory:
// it holds back other runs of telk, no other program.  The lock to give
// back, or kNoFile where the system has none to give for this directory:
// then the run goes on without.
File lock_directory(File directory, const FileId& id);
void unlock_directory(File lock);
// Makes the renames in an open directory durable: false, with the
// system's reason, where they may not be, or where the directory could
// not be opened (kNoFile) and needs a sync.  True too where the file
// system cannot sync a directory: its renames are then on its own
// schedule, and nothing better can be done.
bool sync_directory(File directory);
// Removes `name`, keeping the reason of the failure that led here.  Safe in
// a signal handler.
void remove_file(const char* name);

// The system's reason for the last failed call, as one line.
std::string last_error_text();

// The signals' hold for the calling thread, without nesting (HeldSignals
// nests it).
void hold_signals();
void release_signals();
// In a handler that does not run in a held step: waits until no thread
// holds, and keeps any from holding again, for the handler then ends the
// run (Windows, where a handler runs on a thread of its own; elsewhere
// holding blocks it).
void wait_for_release();
// A console that has gone away (SIGPIPE) and a file-size limit (SIGXFSZ)
// become write errors, where the system has those signals.
void ignore_write_signals();
// How many processes share this process's console (Windows); 0 elsewhere.
unsigned console_processes();

}  // namespace os

}  // namespace telk
