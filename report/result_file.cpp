// POSIX file calls for the result file: exclusive creation of the
// temporary file, whole writes, fsync and the replacing rename.
#include "report/result_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "report/report.h"

namespace telk {

namespace {

std::string failure(const char* what) {
  return std::string(what) + " " + kResultName + ": " + std::strerror(errno);
}

}  // namespace

ResultFile::ResultFile() = default;

ResultFile::~ResultFile() { discard(); }

bool ResultFile::create(std::string* error) {
  // The pid keeps two runs in one directory apart; O_EXCL makes sure we
  // never write into a file that someone else made.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::snprintf(temporary_, sizeof temporary_, "%s.%ld-%d.tmp", kResultName,
                  static_cast<long>(getpid()), attempt);
    fd_ = open(temporary_, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) return true;
    if (errno != EEXIST) break;
  }
  *error = failure("cannot create");
  temporary_[0] = '\0';
  return false;
}

bool ResultFile::write(const char* data, std::size_t size, std::string* error) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = failure("cannot write");
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    written_ += n;
  }
#ifdef SYNC_FILE_RANGE_WRITE
  // Start writing back what is already here, so that the fsync before the
  // rename waits for the last blocks only, not for the whole file.
  sync_file_range(fd_, synced_, written_ - synced_, SYNC_FILE_RANGE_WRITE);
  synced_ = written_;
#endif
  return true;
}

bool ResultFile::commit(std::string* error) {
  // Synced before the rename, so that a crash cannot leave an empty file
  // in place of the old one.
  const char* failed = nullptr;
  const int fd = fd_;
  fd_ = -1;
  if (fsync(fd) != 0) {
    failed = "cannot write";
    close(fd);
  } else if (close(fd) != 0) {
    failed = "cannot write";
  } else if (std::rename(temporary_, kResultName) != 0) {
    failed = "cannot replace";
  }
  if (failed != nullptr) {
    *error = failure(failed);  // before discard(), which may change errno
    discard();
    return false;
  }
  temporary_[0] = '\0';
  return true;
}

void ResultFile::discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (temporary_[0] != '\0') {
    unlink(temporary_);
    temporary_[0] = '\0';
  }
}

}  // namespace telk
