// The operating system's calls, POSIX first, then Windows, then what the
// two share: the temporary file's name, its replacing rename and removal,
// and the signal handling.
#include "system/platform.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <utility>

namespace telk {

namespace {

// How many names a temporary file tries before giving up: a name is taken
// only by a file a dead run with the same process id left behind.
constexpr int kAttempts = 100;

// The name of the run's temporary file while it would outlive the
// process, for the signal handlers; null otherwise.  It is published with
// one store once the file exists under that name and withdrawn before the
// file is renamed or removed, so that a handler never sees a name half
// made, nor one that is no longer the run's own file.
std::atomic<const char*> g_temporary{nullptr};

// While signals are held, a handler waits: making, naming, renaming and
// removing the file and publishing its name are one step for it.
void hold_signals();
void release_signals();

class Held {
 public:
  Held() { hold_signals(); }
  ~Held() { release_signals(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
};

// `d.path` with the process id and the attempt: two runs writing beside
// the same file never share a name.
std::string temporary_name(const Destination& d, int attempt);

}  // namespace

}  // namespace telk

#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace telk {

namespace {

long process_id() { return static_cast<long>(getpid()); }

// Every signal whose default action ends the process and that can be
// caught, but for the two made into write errors (SIGPIPE, SIGXFSZ).
const std::array kNamedEndingSignals = {
    SIGHUP, SIGINT, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGUSR1, SIGSEGV,
    SIGUSR2, SIGALRM, SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef __linux__
    SIGSTKFLT, SIGPOLL, SIGPWR,
#endif
};

template <typename Each>
void for_each_ending_signal(Each each) {
  for (const int sig : kNamedEndingSignals) each(sig);
#ifdef SIGRTMIN
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) each(sig);  // real-time
#endif
}

sigset_t g_unheld;  // the signal mask to go back to

void hold_signals() {
  sigset_t ending;
  sigemptyset(&ending);
  for_each_ending_signal([&ending](int sig) { sigaddset(&ending, sig); });
  sigprocmask(SIG_BLOCK, &ending, &g_unheld);
}

void release_signals() { sigprocmask(SIG_SETMASK, &g_unheld, nullptr); }

// The handler runs in the thread it interrupts: holding blocks it instead.
void wait_for_release() {}

// Keeps errno, for the reason of the failure that led here, and for the
// code a handler interrupts.
void remove_file(const char* name) {
  const int cause = errno;
  unlink(name);
  errno = cause;
}

bool rename_over(const char* from, const char* to) { return std::rename(from, to) == 0; }

// A rename is on disk once its directory is.  The new file is in place by
// then, so a file system that cannot sync a directory is left to its own
// schedule.
void sync_directory(const std::string& directory) {
  const int dir = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  fsync(dir);
  close(dir);
}

// A user who is not root may not give a file away: the new file then
// keeps at least the old group, where the user belongs to it.  A file
// system without owners or modes refuses both; the file keeps what it has.
void keep_owner_and_mode(int fd, const Destination& d) {
  const auto owner = static_cast<uid_t>(d.owner);
  const auto group = static_cast<gid_t>(d.group);
  if (fchown(fd, owner, group) != 0 && fchown(fd, static_cast<uid_t>(-1), group) != 0) {
    // not allowed: the process's own owner and group stay
  }
  fchmod(fd, static_cast<mode_t>(d.mode));
}

// A new file in `directory` without a name, or -1 (EOPNOTSUPP where the
// system has none).
int open_unnamed(const std::string& directory, mode_t mode) {
#ifdef O_TMPFILE
  return open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#else
  (void)directory, (void)mode;
  errno = EOPNOTSUPP;
  return -1;
#endif
}

#ifdef O_TMPFILE
// Gives a file opened with O_TMPFILE a name.  Linking by descriptor needs
// a privilege on older kernels; the descriptor's entry in /proc does not.
bool link_unnamed(int fd, const char* name) {
  if (linkat(fd, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0) return true;
  if (errno != ENOENT && errno != EPERM) return false;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0;
}
#endif

}  // namespace

bool find_destination(const char* name, Destination* d, std::string* reason) {
  *d = Destination{name, ".", false};
  struct stat st {};
  if (lstat(name, &st) != 0) {
    if (errno == ENOENT) return true;  // a new file
    *reason = last_error_text();
    return false;
  }
  if (S_ISLNK(st.st_mode)) {
    // The file the link leads to is replaced, in its own directory.
    char* real = realpath(name, nullptr);
    if (real == nullptr) {
      if (errno != ENOENT) {
        *reason = last_error_text();
        return false;
      }
      std::array<char, 4096> target{};
      const ssize_t n = readlink(name, target.data(), target.size() - 1);
      *reason = "it links to " + std::string(target.data(), n > 0 ? static_cast<std::size_t>(n) : 0) +
                ", which does not exist";
      return false;
    }
    d->path = real;
    std::free(real);  // NOLINT(cppcoreguidelines-no-malloc): realpath's own buffer
    const std::size_t slash = d->path.rfind('/');
    d->directory = slash == 0 ? "/" : d->path.substr(0, slash);
    if (stat(d->path.c_str(), &st) != 0) {
      *reason = last_error_text();
      return false;
    }
  }
  if (S_ISDIR(st.st_mode)) {
    *reason = "it is a directory";
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    *reason = "it is not a regular file";
    return false;
  }
  // Root may write any file; anyone else is held to the permission bits,
  // as a plain fopen("w") would be.
  if (access(d->path.c_str(), W_OK) != 0) {
    *reason = last_error_text();
    return false;
  }
  d->exists = true;
  d->mode = st.st_mode & 0777;
  d->owner = st.st_uid;
  d->group = st.st_gid;
  return true;
}

bool create_temporary(const Destination& d, Temporary* t) {
  // A new result file gets fopen("w")'s 0666 under the umask; one that
  // replaces another starts private and then takes the old one's bits.
  const mode_t mode = d.exists ? 0600 : 0666;
  int fd = open_unnamed(d.directory, mode);
  if (fd < 0) {
    // No file without a name here (a network or FAT file system), or a
    // directory that refuses one: named at once, and published in the
    // same held step.  Where the directory refuses any file, the reason
    // is the one a named file meets.
    const Held held;
    for (int attempt = 0; attempt < kAttempts && fd < 0; ++attempt) {
      t->name = temporary_name(d, attempt);
      fd = open(t->name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return false;
    t->named = true;
    g_temporary.store(t->name.c_str());
  }
  t->file = fd;
  if (d.exists) keep_owner_and_mode(fd, d);
  return true;
}

bool write_all(File file, const char* data, std::size_t size) {
  const int fd = static_cast<int>(file);
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void start_writeback(File file, long long offset, long long size) {
#ifdef SYNC_FILE_RANGE_WRITE
  sync_file_range(static_cast<int>(file), offset, size, SYNC_FILE_RANGE_WRITE);
#else
  (void)file, (void)offset, (void)size;
#endif
}

bool sync_file(File file) { return fsync(static_cast<int>(file)) == 0; }

bool name_temporary(const Destination& d, Temporary* t) {
  if (t->named) return true;  // named when made
#ifdef O_TMPFILE
  const Held held;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string name = temporary_name(d, attempt);
    if (link_unnamed(static_cast<int>(t->file), name.c_str())) {
      t->name = std::move(name);
      t->named = true;
      g_temporary.store(t->name.c_str());
      return true;
    }
    if (errno != EEXIST) return false;
  }
#else
  (void)d;
#endif
  return false;
}

bool close_file(File file) { return close(static_cast<int>(file)) == 0; }

std::string last_error_text() { return std::strerror(errno); }

bool is_terminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

void guard_standard_streams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
      _exit(127);  // cannot happen unless descriptors are exhausted
  }
}

namespace {

// A console that has gone away and a file-size limit become write errors.
void ignore_write_signals() {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
}

}  // namespace

}  // namespace telk

#else  // Windows

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace telk {

namespace {

// The handle travels through the rest of the program as an integer.
HANDLE handle(File file) { return reinterpret_cast<HANDLE>(file); }  // NOLINT(performance-no-int-to-ptr)

long process_id() { return static_cast<long>(GetCurrentProcessId()); }

// The C runtime raises these on a thread of its own: SIGINT for Ctrl+C,
// SIGBREAK for Ctrl+Break or a closing console window; SIGABRT on abort.
template <typename Each>
void for_each_ending_signal(Each each) {
  for (const int sig : {SIGINT, SIGTERM, SIGBREAK, SIGABRT}) each(sig);
}

// The handler runs on a thread of its own and waits while the main thread
// holds.
std::atomic<bool> g_held{false};

void hold_signals() { g_held.store(true); }

void release_signals() { g_held.store(false); }

void wait_for_release() {
  while (g_held.load()) Sleep(1);
}

// Keeps the last error, for the reason of the failure that led here.
void remove_file(const char* name) {
  const DWORD cause = GetLastError();
  DeleteFileA(name);
  SetLastError(cause);
}

bool rename_over(const char* from, const char* to) {
  // A plain rename fails when `to` exists; this one replaces it, and
  // returns once the change is on disk.
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void sync_directory(const std::string&) {}  // MOVEFILE_WRITE_THROUGH did

// Marks an open file for deletion when its last handle closes, however
// the process ends, or clears the mark.
bool mark_for_deletion(HANDLE file, bool mark) {
  FILE_DISPOSITION_INFO info{};
  info.DeleteFile = mark ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info) != 0;
}

bool means_not_found(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

bool find_destination(const char* name, Destination* d, std::string* reason) {
  *d = Destination{name, ".", false};
  DWORD attributes = GetFileAttributesA(name);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (means_not_found(GetLastError())) return true;  // a new file
    *reason = last_error_text();
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    // A link: the file it leads to is replaced, in its own folder.
    HANDLE h = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      *reason = means_not_found(GetLastError()) ? "it links to a file that does not exist"
                                                  : last_error_text();
      return false;
    }
    char path[4096];
    const DWORD n = GetFinalPathNameByHandleA(h, path, sizeof path, FILE_NAME_NORMALIZED);
    CloseHandle(h);
    if (n == 0 || n >= sizeof path) {
      *reason = last_error_text();
      return false;
    }
    // The system's long form, \\?\C:\..., shown and used as C:\...
    const bool drive = n > 6 && std::string_view(path, 4) == "\\\\?\\" && path[5] == ':';
    d->path.assign(drive ? path + 4 : path, drive ? n - 4 : n);
    d->directory = d->path.substr(0, d->path.rfind('\\'));
    attributes = GetFileAttributesA(d->path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      *reason = last_error_text();
      return false;
    }
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *reason = "it is a directory";
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);  // in the system's words
    *reason = last_error_text();
    return false;
  }
  d->exists = true;
  return true;
}

bool create_temporary(const Destination& d, Temporary* t) {
  // Marked for deletion in the same held step as it is made.  Sharing
  // delete lets an interrupt remove the file once it is named; the handle
  // is not inherited by any other process.  A new file takes the folder's
  // permissions, as one that fopen makes.
  const Held held;
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kAttempts && h == INVALID_HANDLE_VALUE; ++attempt) {
    t->name = temporary_name(d, attempt);
    h = CreateFileA(t->name.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
  if (h == INVALID_HANDLE_VALUE) return false;
  if (!mark_for_deletion(h, true)) {
    const DWORD cause = GetLastError();
    CloseHandle(h);
    SetLastError(cause);
    remove_file(t->name.c_str());
    return false;
  }
  t->file = reinterpret_cast<File>(h);
  return true;
}

bool write_all(File file, const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    DWORD written = 0;
    if (WriteFile(handle(file), data, chunk, &written, nullptr) == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

void start_writeback(File, long long, long long) {}

bool sync_file(File file) { return FlushFileBuffers(handle(file)) != 0; }

bool name_temporary(const Destination&, Temporary* t) {
  // Published before the mark goes, so that the file is never both
  // lasting and unknown to the handler.
  const Held held;
  g_temporary.store(t->name.c_str());
  if (!mark_for_deletion(handle(t->file), false)) {
    g_temporary.store(nullptr);
    return false;
  }
  t->named = true;
  return true;
}

bool close_file(File file) { return CloseHandle(handle(file)) != 0; }

std::string last_error_text() {
  const DWORD code = GetLastError();
  char text[512];
  DWORD n = 0;
  // English first, as the rest of the program speaks; else the system's.
  for (const DWORD language : {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                               MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT)}) {
    n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, language, text, sizeof text, nullptr);
    if (n > 0) break;
  }
  // One line: the message's own line end and final stop are dropped.
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' ||
                   text[n - 1] == ' ' || text[n - 1] == '.'))
    --n;
  for (DWORD i = 0; i < n; ++i) {
    if (text[i] == '\r' || text[i] == '\n') text[i] = ' ';
  }
  return n > 0 ? std::string(text, n) : "system error " + std::to_string(code);
}

// _isatty is true of any character device, the null device included; a
// console is what answers GetConsoleMode.
bool is_terminal(std::FILE* stream) {
  const intptr_t os_handle = _get_osfhandle(_fileno(stream));
  DWORD mode = 0;
  return os_handle != -1 && GetConsoleMode(reinterpret_cast<HANDLE>(os_handle), &mode) != 0;  // NOLINT(performance-no-int-to-ptr)
}

// The result file is a system handle, never a C runtime descriptor, so a
// missing standard stream cannot be confused with it.
void guard_standard_streams() {}

namespace {

// Failed writes report an error there; no signal is sent.
void ignore_write_signals() {}

}  // namespace

}  // namespace telk

#endif

// Both systems.

namespace telk {

namespace {

std::string temporary_name(const Destination& d, int attempt) {
  return d.path + "." + std::to_string(process_id()) + "-" + std::to_string(attempt) + ".tmp";
}

extern "C" void remove_temporary_and_die(int sig) {
  wait_for_release();
  // unlink, or DeleteFileA on the runtime's own thread: safe in a handler.
  const char* name = g_temporary.load();
  if (name != nullptr) remove_file(name);
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

bool replace_with_temporary(const Destination& d, Temporary* t) {
  bool replaced = false;
  {
    const Held held;
    g_temporary.store(nullptr);
    replaced = rename_over(t->name.c_str(), d.path.c_str());
    if (!replaced) remove_file(t->name.c_str());
    t->named = false;
  }
  if (replaced) sync_directory(d.directory);
  return replaced;
}

void remove_temporary(Temporary* t) {
  if (t->file != kNoFile) {
    close_file(t->file);
    t->file = kNoFile;
  }
  if (t->named) {
    const Held held;
    g_temporary.store(nullptr);
    remove_file(t->name.c_str());
    t->named = false;
  }
}

void remove_named_temporary() {
  const Held held;
  const char* name = g_temporary.exchange(nullptr);
  if (name != nullptr) remove_file(name);
}

void handle_signals() {
  ignore_write_signals();
  for_each_ending_signal([](int sig) {
    // A signal ignored by whoever started us (nohup, a background job)
    // stays ignored.
    if (signal(sig, remove_temporary_and_die) == SIG_IGN) signal(sig, SIG_IGN);
  });
}

}  // namespace telk
