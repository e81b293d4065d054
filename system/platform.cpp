// The operating system's calls, POSIX first, then Windows, then the signal
// handling the two share.
#include "system/platform.h"

#include <array>
#include <csignal>

#ifndef _WIN32

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace telk {

File create_new_file(const char* name) {
  return open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

bool close_file(File file) { return close(static_cast<int>(file)) == 0; }

bool replace_file(const char* from, const char* to) {
  return std::rename(from, to) == 0;
}

void remove_file(const char* name) { unlink(name); }

bool last_error_is_exists() { return errno == EEXIST; }

std::string last_error_text() { return std::strerror(errno); }

long process_id() { return static_cast<long>(getpid()); }

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

const std::array<int, 4> kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

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

namespace telk {

namespace {

// The handle travels through the rest of the program as an integer.
HANDLE handle(File file) { return reinterpret_cast<HANDLE>(file); }  // NOLINT(performance-no-int-to-ptr)

}  // namespace

File create_new_file(const char* name) {
  // Sharing delete lets an interrupt remove the file while it is open; the
  // handle is not inherited by any other process.
  HANDLE h = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                         nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<File>(h);
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

bool close_file(File file) { return CloseHandle(handle(file)) != 0; }

bool replace_file(const char* from, const char* to) {
  // A plain rename fails when `to` exists; this one replaces it.
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void remove_file(const char* name) { DeleteFileA(name); }

bool last_error_is_exists() {
  return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS;
}

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

long process_id() { return static_cast<long>(GetCurrentProcessId()); }

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

// The C runtime raises these on a thread of its own: SIGINT for Ctrl+C,
// SIGBREAK for Ctrl+Break or a closing console window.
const std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGBREAK};

// Failed writes report an error there; no signal is sent.
void ignore_write_signals() {}

}  // namespace

}  // namespace telk

#endif

// Both systems.

namespace telk {

namespace {

const char* g_temporary = nullptr;

extern "C" void remove_temporary_and_die(int sig) {
  // unlink, or DeleteFileA on the runtime's own thread: safe in a handler.
  if (g_temporary != nullptr && g_temporary[0] != '\0') remove_file(g_temporary);
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

void handle_signals(const char* temporary) {
  g_temporary = temporary;
  ignore_write_signals();
  for (const int sig : kEndingSignals) {
    // A signal ignored by whoever started us (nohup, a background job)
    // stays ignored.
    if (signal(sig, remove_temporary_and_die) == SIG_IGN) signal(sig, SIG_IGN);
  }
}

}  // namespace telk
