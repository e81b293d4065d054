// The result file's life: exclusive creation of the temporary file, writes
// in large blocks handed to writeback as they land, sync, close and the
// replacing rename.  The system calls themselves are in system/platform.cpp.
#include "report/result_file.h"

#include <algorithm>
#include <cstdio>

namespace telk {

namespace {

// Large enough that writes cost little next to formatting, small enough
// that memory stays flat.
constexpr std::size_t kBlock = std::size_t{1} << 20;

std::string failure(const char* what) {
  return std::string(what) + " " + kResultName + ": " + last_error_text();
}

}  // namespace

ResultFile::ResultFile() = default;

ResultFile::~ResultFile() { discard(); }

bool ResultFile::create(std::string* error) {
  // The process id keeps two runs in one directory apart; exclusive
  // creation makes sure we never write into a file that someone else made.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::snprintf(temporary_, sizeof temporary_, "%s.%ld-%d.tmp", kResultName,
                  process_id(), attempt);
    file_ = create_new_file(temporary_);
    if (file_ != kNoFile) {
      block_.resize(kBlock);
      next_ = block_.data();
      end_ = next_ + block_.size();
      return true;
    }
    if (!last_error_is_exists()) break;
  }
  *error = failure("cannot create");
  temporary_[0] = '\0';
  return false;
}

bool ResultFile::make_room(std::size_t size, std::string* error) {
  if (!flush(error)) return false;
  if (size > block_.size()) block_.resize(size);
  next_ = block_.data();
  end_ = next_ + block_.size();
  return true;
}

bool ResultFile::flush(std::string* error) {
  const auto size = static_cast<std::size_t>(next_ - block_.data());
  if (!write_all(file_, block_.data(), size)) {
    *error = failure("cannot write");
    return false;
  }
  // Start writing back what is already here, so that the sync before the
  // rename waits for the last blocks only, not for the whole file.
  start_writeback(file_, written_, static_cast<long long>(size));
  written_ += static_cast<long long>(size);
  next_ = block_.data();
  return true;
}

bool ResultFile::commit(std::string* error) {
  // Synced before the rename, so that a crash cannot leave an empty file
  // in place of the old one.  Each reason is taken as soon as its call
  // fails, before a close or a removal can overwrite it.
  if (!flush(error)) {
    discard();
    return false;
  }
  const File file = file_;
  file_ = kNoFile;
  bool ok = sync_file(file);
  if (!ok) *error = failure("cannot write");
  if (!close_file(file) && ok) {
    *error = failure("cannot write");
    ok = false;
  }
  if (ok && !replace_file(temporary_, kResultName)) {
    *error = failure("cannot replace");
    ok = false;
  }
  if (!ok) {
    discard();
    return false;
  }
  temporary_[0] = '\0';
  return true;
}

void ResultFile::discard() {
  if (file_ != kNoFile) {
    close_file(file_);
    file_ = kNoFile;
  }
  if (temporary_[0] != '\0') {
    remove_file(temporary_);
    temporary_[0] = '\0';
  }
}

}  // namespace telk
