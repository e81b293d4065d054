// What every system shares: the steps of a replace in their order, the
// temporary file's name, the nesting of held signals, which signals end a
// run and what their handler does, and the wait before a console window of
// its own closes.  The calls are in posix.cpp and windows.cpp.
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <vector>

#include "system/platform.h"

namespace telk {

namespace {

// How many names a temporary file tries before giving up: a name is taken
// only by a file a dead run with the same process id left behind.
constexpr int kAttempts = 100;

// `path` with the process id and the attempt: two runs writing beside the
// same file never share a name.
std::string temporary_name(const std::string& path, int attempt) {
  return path + "." + std::to_string(os::process_id()) + "-" + std::to_string(attempt) + ".tmp";
}

// The names of the run's temporary files while they would outlive the
// process, for the signal handlers; null where there is none.  A name is
// published with one store once the file exists under it, and withdrawn
// before the file is renamed or removed, so that a handler never sees a
// name half made, nor one that is no longer the run's own file.  A run
// writes at most two files at once.
constexpr int kSlots = 4;
std::atomic<const char*> g_published[kSlots];

// How deep the calling thread's holds nest.
thread_local int t_holds = 0;

// Every signal whose default action ends the process and that can be
// caught, but for the two made into write errors (SIGPIPE, SIGXFSZ).  On
// Windows the C runtime raises SIGINT for Ctrl+C, SIGBREAK for Ctrl+Break
// or a closing console window, on a thread of its own.
template <typename Each>
void for_each_ending_signal(Each each) {
  for (const int sig : {SIGINT, SIGTERM, SIGABRT}) each(sig);
#ifdef _WIN32
  each(SIGBREAK);
#else
  for (const int sig : {SIGHUP, SIGQUIT, SIGILL, SIGTRAP, SIGBUS, SIGFPE, SIGUSR1, SIGSEGV,
                        SIGUSR2, SIGALRM, SIGXCPU, SIGVTALRM, SIGPROF, SIGSYS})
    each(sig);
#endif
#ifdef __linux__
  for (const int sig : {SIGSTKFLT, SIGPOLL, SIGPWR}) each(sig);
#endif
#ifdef SIGRTMIN
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) each(sig);  // real-time
#endif
}

void remove_published() {
  for (std::atomic<const char*>& slot : g_published) {
    const char* name = slot.exchange(nullptr);
    if (name != nullptr) os::remove_file(name);
  }
}

extern "C" void remove_temporaries_and_die(int sig) {
  // A signal that a held step raises itself (an abort) cannot wait for
  // that step to end.
  if (t_holds == 0) os::wait_for_release();
  remove_published();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

}  // namespace

HeldSignals::HeldSignals() {
  if (t_holds++ == 0) os::hold_signals();
}

HeldSignals::~HeldSignals() {
  if (--t_holds == 0) os::release_signals();
}

Replacement::~Replacement() { discard(); }

std::string Replacement::write_failure(const std::string& reason) const {
  return "cannot write " + name_ + ": " + reason;
}

// Why the new file cannot be made or named: the directory's fault.
std::string Replacement::directory_failure() const {
  const std::string where = destination_.directory == "." ? "the working directory"
                                                          : destination_.directory;
  return "cannot write in " + where + (destination_.exists ? " to replace " : " to create ") +
         name_ + ": " + os::last_error_text();
}

void Replacement::publish() {
  for (int slot = 0; slot < kSlots; ++slot) {
    const char* none = nullptr;
    if (g_published[slot].compare_exchange_strong(none, temporary_.name.c_str())) {
      temporary_.slot = slot;
      return;
    }
  }
}

void Replacement::withdraw() {
  if (temporary_.slot >= 0) g_published[temporary_.slot].store(nullptr);
  temporary_.slot = -1;
}

bool Replacement::create(std::string* error) {
  std::string reason;
  if (!os::find_destination(name_.c_str(), &destination_, &reason)) {
    *error = "cannot replace " + name_ + ": " + reason;
    return false;
  }
  temporary_.file = os::open_unnamed(destination_);
  if (temporary_.file != kNoFile) return true;
  // No file without a name here (a network or FAT file system, Windows),
  // or a directory that refuses one: named at once, and published in the
  // same held step.  Where the directory refuses any file, the reason is
  // the one a named file meets.
  const HeldSignals held;
  for (int attempt = 0; attempt < kAttempts && temporary_.file == kNoFile; ++attempt) {
    temporary_.name = temporary_name(destination_.path, attempt);
    temporary_.file = os::open_named(destination_, temporary_.name.c_str(), &temporary_.named);
    if (temporary_.file == kNoFile && !os::name_taken()) break;
  }
  if (temporary_.file == kNoFile) {
    *error = directory_failure();
    return false;
  }
  if (temporary_.named) publish();
  return true;
}

bool Replacement::apart_from(const Replacement& other, std::string* error) const {
  if (!destination_.exists || !other.destination_.exists ||
      !os::same_file(destination_.path, other.destination_.path))
    return true;
  *error = "cannot replace " + name_ + ": it is the same file as " + other.name_;
  return false;
}

bool Replacement::finish(std::string* error) {
  // Each reason is taken as soon as its call fails, before a close or a
  // removal can overwrite it.
  os::keep_mode(temporary_.file, destination_);
  bool ok = os::sync_file(temporary_.file);
  if (!ok) *error = write_failure(os::last_error_text());
  if (ok && !temporary_.named) {
    const HeldSignals held;
    if (temporary_.name.empty()) {
      // Unnamed until now: linked in under a free name.
      for (int attempt = 0; attempt < kAttempts && !temporary_.named; ++attempt) {
        const std::string name = temporary_name(destination_.path, attempt);
        temporary_.named = os::link_unnamed(temporary_.file, name.c_str());
        if (temporary_.named) temporary_.name = name;
        if (!temporary_.named && !os::name_taken()) break;
      }
      if (temporary_.named) publish();
    } else {
      // Named when made, to vanish on close: published before the mark
      // goes, so that the file is never both lasting and unknown to the
      // handlers.
      temporary_.named = true;
      publish();
      if (!os::keep(temporary_.file)) {
        withdraw();
        temporary_.named = false;
      }
    }
    if (!temporary_.named) {
      *error = directory_failure();
      ok = false;
    }
  }
  const File closing = temporary_.file;
  temporary_.file = kNoFile;
  if (!os::close_file(closing) && ok) {
    *error = write_failure(os::last_error_text());
    ok = false;
  }
  if (!ok) discard();
  return ok;
}

bool Replacement::put_in_place(std::string* error) {
  Replacement* const self = this;
  return telk::put_in_place({&self, 1}, error);
}

namespace {

// How a directory is named in a line: the working one in words.
std::string shown(const std::string& directory) {
  return directory == "." ? "the working directory" : directory;
}

// The directories that files are put in place in, each opened once (one
// directory may be reached by two paths, "." and the one a link gives)
// and locked in the order of their ids, the same for every run, so that
// no two runs each hold a lock that the other waits for.  Unlocked and
// closed when it goes.
class Directories {
 public:
  Directories() = default;
  Directories(const Directories&) = delete;
  Directories& operator=(const Directories&) = delete;
  ~Directories() {
    for (const Entry& d : entries_) {
      if (d.lock != kNoFile) os::unlock_directory(d.lock);
      if (d.file != kNoFile) os::close_file(d.file);
    }
  }

  // Which entry holds `path`'s directory.
  std::size_t add(const std::string& path) {
    Entry d{path, kNoFile, {}, kNoFile, {}};
    d.file = os::open_directory(path, &d.id);
    if (d.file == kNoFile) {
      d.failure = os::last_error_text();  // no lock, and no sync where one is needed
    } else {
      for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].file != kNoFile && entries_[i].id == d.id) {
          os::close_file(d.file);
          return i;
        }
      }
    }
    entries_.push_back(d);
    return entries_.size() - 1;
  }

  std::size_t size() const { return entries_.size(); }

  void lock() {
    std::vector<Entry*> order;
    for (Entry& d : entries_) {
      if (d.file != kNoFile) order.push_back(&d);
    }
    std::sort(order.begin(), order.end(), [](const Entry* a, const Entry* b) { return a->id < b->id; });
    for (Entry* d : order) d->lock = os::lock_directory(d->file, d->id);
  }

  // Syncs the directory of entry `i`; false, with the reason, when its
  // renames may not be on disk.
  bool sync(std::size_t i, std::string* reason) {
    Entry& d = entries_[i];
    if (os::sync_directory(d.file)) return true;
    if (d.file != kNoFile) d.failure = os::last_error_text();  // else the open's reason
    *reason = "cannot sync " + shown(d.path) + ": " + d.failure;
    return false;
  }

 private:
  struct Entry {
    std::string path;
    File file;
    FileId id;
    File lock;
    std::string failure;  // why it could not be opened
  };
  std::vector<Entry> entries_;
};

}  // namespace

bool put_in_place(std::span<Replacement* const> files, std::string* error) {
  Directories directories;
  std::vector<std::size_t> directory_of(files.size());
  std::transform(files.begin(), files.end(), directory_of.begin(),
                 [&](const Replacement* f) { return directories.add(f->destination_.directory); });
  // Locked before the hold: an interrupt while another run holds the lock
  // ends this one with every file old.
  directories.lock();
  // Held from the first rename until the last directory is synced: an
  // interrupt that comes now waits, and ends the run once every file is
  // in place and on disk.
  const HeldSignals held;
  bool renamed = true;
  std::size_t in_place = 0;
  for (Replacement* f : files) {
    f->withdraw();
    f->temporary_.named = false;
    if (renamed && !os::rename_over(f->temporary_.name.c_str(), f->destination_.path.c_str())) {
      *error = "cannot replace " + f->name_ + ": " + os::last_error_text();
      renamed = false;
    }
    if (!renamed) {
      os::remove_file(f->temporary_.name.c_str());
    } else {
      ++in_place;
    }
  }
  // Every directory that a file was put in place in, whatever the others
  // do; the first that fails is the one the line names, with its files.
  std::string unsure;
  for (std::size_t d = 0; d < directories.size(); ++d) {
    std::string names;
    int count = 0;
    for (std::size_t i = 0; i < in_place; ++i) {
      if (directory_of[i] == d) names += (count++ == 0 ? "" : " and ") + files[i]->name_;
    }
    std::string reason;
    if (count == 0 || directories.sync(d, &reason) || !unsure.empty()) continue;
    unsure = "the new ";
    unsure += names;
    unsure += count == 1 ? " is" : " are";
    unsure += " in place but may not survive a power cut: ";
    unsure += reason;
  }
  if (!renamed) return false;
  if (unsure.empty()) return true;
  *error = unsure;
  return false;
}

void Replacement::discard() {
  if (temporary_.file != kNoFile) {
    os::close_file(temporary_.file);
    temporary_.file = kNoFile;
  }
  if (temporary_.named) {
    const HeldSignals held;
    withdraw();
    os::remove_file(temporary_.name.c_str());
    temporary_.named = false;
  }
}

void remove_named_temporaries() {
  const HeldSignals held;
  remove_published();
}

void handle_signals() {
  os::ignore_write_signals();
  for_each_ending_signal([](int sig) {
    // A signal ignored by whoever started us (nohup, a background job)
    // stays ignored.
    if (std::signal(sig, remove_temporaries_and_die) == SIG_IGN) std::signal(sig, SIG_IGN);
  });
}

void keep_window_open(std::FILE* in, std::FILE* err) {
  if (!waits_before_closing(os::console_processes(), is_terminal(in), is_terminal(err))) return;
  const auto rest_of_line = [in] {
    int ch = std::fgetc(in);
    while (ch != EOF && ch != '\n') ch = std::fgetc(in);
  };
  rest_of_line();
  std::fputs("Press Enter to close this window.", err);
  std::fflush(err);
  rest_of_line();
}

}  // namespace telk
