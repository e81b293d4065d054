// The system's calls on Windows.  A file cannot be made without a name
// here: the new file is named at once and marked for deletion on close
// until it is finished.
#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "system/platform.h"

namespace telk {

namespace {

// The handle travels through the rest of the program as an integer.
HANDLE handle(File file) { return reinterpret_cast<HANDLE>(file); }  // NOLINT(performance-no-int-to-ptr)

// A handler runs on a thread of its own (the C runtime's, for each Ctrl+C
// or closing console), never on one that telk started.  Holds take this
// lock shared, from whichever thread holds; a handler takes it exclusively
// and never gives it back, for it ends the run.  So the handler waits while
// any hold lasts, and a hold that would start once the handler has the
// lock waits for good: the handler's removals and the end of the process
// never fall inside a held step.  (A flag that the handler read and then
// acted on left a gap between the two, in which the main thread could
// begin a held step, its renames say, and be cut off in the middle of it
// by the exit.)
SRWLOCK g_holds = SRWLOCK_INIT;

// Which file an open handle is, by its volume and file index; unknown
// where the system does not say.
FileId identify(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(h, &info) == 0) return {};
  return FileId{info.dwVolumeSerialNumber,
                (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow, true};
}

// Opens a file or folder for its attributes only, following links, so
// that an open spreadsheet does not stand in the way.
HANDLE open_for_attributes(const char* name) {
  return CreateFileA(name, FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

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

namespace os {

long process_id() { return static_cast<long>(GetCurrentProcessId()); }

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

File open_unnamed(const Destination&) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return kNoFile;
}

bool link_unnamed(File, const char*) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}

File open_named(const Destination&, const char* name, bool* lasting) {
  // Marked for deletion at once: the caller holds signals around this.
  // Sharing delete lets an interrupt remove the file once it is named; the
  // handle is not inherited by any other process.  A new file takes the
  // folder's permissions, as one that fopen makes.
  *lasting = false;
  HANDLE h = CreateFileA(name, GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                         nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return kNoFile;
  if (!mark_for_deletion(h, true)) {
    const DWORD cause = GetLastError();
    CloseHandle(h);
    DeleteFileA(name);
    SetLastError(cause);
    return kNoFile;
  }
  return reinterpret_cast<File>(h);
}

bool name_taken() {
  return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool keep(File file) { return mark_for_deletion(handle(file), false); }

void keep_mode(File, const Destination&) {}  // a new file takes the folder's permissions

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

void write_error(const char* data, std::size_t size) {
  write_all(reinterpret_cast<File>(GetStdHandle(STD_ERROR_HANDLE)), data, size);
}

void start_writeback(File, long long, long long) {}

bool sync_file(File file) { return FlushFileBuffers(handle(file)) != 0; }

bool close_file(File file) { return CloseHandle(handle(file)) != 0; }

bool rename_over(const char* from, const char* to) {
  // A plain rename fails when `to` exists; this one replaces it, and
  // returns once the change is on disk.
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// The handles are closed at once: a rename over a file fails while any
// handle to it is open.
bool same_file(const std::string& a, const std::string& b) {
  HANDLE ha = open_for_attributes(a.c_str());
  HANDLE hb = open_for_attributes(b.c_str());
  const FileId ia = ha == INVALID_HANDLE_VALUE ? FileId{} : identify(ha);
  const FileId ib = hb == INVALID_HANDLE_VALUE ? FileId{} : identify(hb);
  if (ha != INVALID_HANDLE_VALUE) CloseHandle(ha);
  if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
  return ia.known && ia == ib;
}

File open_directory(const std::string& directory, FileId* id) {
  HANDLE h = open_for_attributes(directory.c_str());
  if (h == INVALID_HANDLE_VALUE) return kNoFile;
  *id = identify(h);
  return reinterpret_cast<File>(h);
}

// Windows has no lock on a folder itself: a named mutex stands for it, one
// per folder (by volume and file index, as a folder has many paths), which
// goes with the last handle to it, so that nothing is left behind.  A
// Global name serves every session of the machine; a run on another
// machine that writes to the same share is not held back.  A mutex whose
// run died holding it passes on at once (WAIT_ABANDONED).  Where the name
// is another user's and refused, the run goes on without.
File lock_directory(File, const FileId& id) {
  if (!id.known) return kNoFile;
  char name[64];
  std::snprintf(name, sizeof name, "Global\\telk-folder-%llx-%llx",
                static_cast<unsigned long long>(id.device), static_cast<unsigned long long>(id.index));
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
  if (mutex == nullptr) return kNoFile;
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return kNoFile;
  }
  return reinterpret_cast<File>(mutex);
}

void unlock_directory(File lock) {
  ReleaseMutex(handle(lock));
  CloseHandle(handle(lock));
}

bool sync_directory(File) { return true; }  // MOVEFILE_WRITE_THROUGH did

void remove_file(const char* name) {
  const DWORD cause = GetLastError();
  DeleteFileA(name);
  SetLastError(cause);
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

void hold_signals() { AcquireSRWLockShared(&g_holds); }

void release_signals() { ReleaseSRWLockShared(&g_holds); }

void wait_for_release() { AcquireSRWLockExclusive(&g_holds); }

// Failed writes report an error here; no signal is sent.
void ignore_write_signals() {}

unsigned console_processes() {
  DWORD ids[2];
  return static_cast<unsigned>(GetConsoleProcessList(ids, 2));
}

}  // namespace os

}  // namespace telk

#endif  // _WIN32
