// The system's calls on POSIX systems; Linux files are made without a name
// (O_TMPFILE) where the file system allows.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "system/platform.h"

namespace telk {

namespace {

// A user who is not root may not give a file away: the new file then
// keeps at least the old group, where the user belongs to it.  A file
// system without owners or modes refuses both; the file keeps what it has.
// The mode comes after the owner, as a change of owner clears the set-id
// bits; the system drops a set-group-ID bit for a group the user is not in.
void keep_owner_and_mode(int fd, const Destination& d) {
  const auto owner = static_cast<uid_t>(d.owner);
  const auto group = static_cast<gid_t>(d.group);
  if (fchown(fd, owner, group) != 0 && fchown(fd, static_cast<uid_t>(-1), group) != 0) {
    // not allowed: the process's own owner and group stay
  }
  fchmod(fd, static_cast<mode_t>(d.mode));
}

// A new result file gets fopen("w")'s 0666 under the umask; one that
// replaces another starts private and then takes the old one's bits.
mode_t first_mode(const Destination& d) { return d.exists ? 0600 : 0666; }

File kept(int fd, const Destination& d) {
  if (fd < 0) return kNoFile;
  if (d.exists) keep_owner_and_mode(fd, d);
  return fd;
}

thread_local sigset_t t_unheld;  // the calling thread's mask to go back to

}  // namespace

bool is_terminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }

void guard_standard_streams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
      _exit(127);  // cannot happen unless descriptors are exhausted
  }
}

namespace os {

long process_id() { return static_cast<long>(getpid()); }

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
  d->mode = st.st_mode & 07777;
  d->owner = st.st_uid;
  d->group = st.st_gid;
  return true;
}

File open_unnamed(const Destination& d) {
#ifdef O_TMPFILE
  return kept(open(d.directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, first_mode(d)), d);
#else
  (void)d;
  errno = EOPNOTSUPP;
  return kNoFile;
#endif
}

bool link_unnamed(File file, const char* name) {
#ifdef O_TMPFILE
  // Linking by descriptor needs a privilege on older kernels; the
  // descriptor's entry in /proc does not.
  const int fd = static_cast<int>(file);
  if (linkat(fd, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0) return true;
  if (errno != ENOENT && errno != EPERM) return false;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0;
#else
  (void)file, (void)name;
  errno = EOPNOTSUPP;
  return false;
#endif
}

File open_named(const Destination& d, const char* name, bool* lasting) {
  *lasting = true;
  return kept(open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, first_mode(d)), d);
}

bool name_taken() { return errno == EEXIST; }

bool keep(File) { return true; }  // a named file lasts already

void keep_mode(File file, const Destination& d) {
  if (d.exists) fchmod(static_cast<int>(file), static_cast<mode_t>(d.mode));
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

void write_error(const char* data, std::size_t size) {
  const int saved = errno;  // a handler leaves errno as it found it
  write_all(STDERR_FILENO, data, size);
  errno = saved;
}

void start_writeback(File file, long long offset, long long size) {
#ifdef SYNC_FILE_RANGE_WRITE
  sync_file_range(static_cast<int>(file), offset, size, SYNC_FILE_RANGE_WRITE);
#else
  (void)file, (void)offset, (void)size;
#endif
}

bool sync_file(File file) { return fsync(static_cast<int>(file)) == 0; }

bool close_file(File file) { return close(static_cast<int>(file)) == 0; }

bool rename_over(const char* from, const char* to) { return std::rename(from, to) == 0; }

bool same_file(const std::string& a, const std::string& b) {
#ifdef O_PATH
  constexpr int kForId = O_PATH | O_CLOEXEC;  // no permission needed
#else
  constexpr int kForId = O_RDONLY | O_CLOEXEC;
#endif
  const int fa = open(a.c_str(), kForId);
  const int fb = open(b.c_str(), kForId);
  struct stat sa {};
  struct stat sb {};
  const bool same = fa >= 0 && fb >= 0 && fstat(fa, &sa) == 0 && fstat(fb, &sb) == 0 &&
                    sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  if (fa >= 0) close(fa);
  if (fb >= 0) close(fb);
  return same;
}

File open_directory(const std::string& directory, FileId* id) {
  const int dir = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  struct stat st {};
  if (dir < 0 || fstat(dir, &st) != 0) {
    if (dir >= 0) close_file(dir);
    return kNoFile;
  }
  *id = FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino), true};
  return dir;
}

// An advisory lock on the directory itself (flock), so that no lock file
// is left: it goes when the descriptor is closed, or the process ends
// however it ends.  A file system that has no such locks (some network
// ones) refuses; the run goes on without.
File lock_directory(File directory, const FileId&) {
  const int dir = static_cast<int>(directory);
  while (flock(dir, LOCK_EX) != 0) {
    if (errno != EINTR) return kNoFile;
  }
  return directory;
}

void unlock_directory(File lock) { flock(static_cast<int>(lock), LOCK_UN); }

// A rename is on disk once its directory is.  A file system that cannot
// sync a directory says so with EINVAL (or ENOTSUP): its renames are on
// its own schedule.
bool sync_directory(File directory) {
  if (directory == kNoFile) return false;
  if (fsync(static_cast<int>(directory)) == 0) return true;
  return errno == EINVAL || errno == ENOTSUP;
}

void remove_file(const char* name) {
  const int cause = errno;
  unlink(name);
  errno = cause;
}

std::string last_error_text() { return std::strerror(errno); }

// The mask is each thread's own: a process-wide signal goes to a thread
// that does not block it.  As every other thread blocks them all, that is
// the main thread, once its hold ends.
void hold_signals() {
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &t_unheld);
}

void release_signals() { pthread_sigmask(SIG_SETMASK, &t_unheld, nullptr); }

// The handler runs in the thread it interrupts: holding blocks it instead.
void wait_for_release() {}

void ignore_write_signals() {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
}

unsigned console_processes() { return 0; }  // a terminal outlives its programs

}  // namespace os

}  // namespace telk

#endif  // !_WIN32
