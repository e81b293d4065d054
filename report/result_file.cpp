// The result file's life: the check of what stands in its place, the new
// file, writes in large blocks handed to writeback as they land, sync,
// name, close and the replacing rename.  The system calls themselves are in
// system/platform.cpp.
#include "report/result_file.h"

namespace telk {

namespace {

// Large enough that writes cost little next to formatting, small enough
// that memory stays flat.
constexpr std::size_t kBlock = std::size_t{1} << 20;

std::string failure(const char* what, const std::string& reason) {
  return std::string(what) + " " + kResultName + ": " + reason;
}

}  // namespace

ResultFile::ResultFile() = default;

ResultFile::~ResultFile() { discard(); }

bool ResultFile::create(std::string* error) {
  std::string reason;
  if (!find_destination(kResultName, &destination_, &reason)) {
    *error = failure("cannot replace", reason);
    return false;
  }
  // The block first: a run without memory for it touches nothing.
  block_.resize(kBlock);
  if (!create_temporary(destination_, &temporary_)) {
    *error = directory_failure();
    return false;
  }
  next_ = block_.data();
  end_ = next_ + block_.size();
  return true;
}

std::string ResultFile::directory_failure() const {
  const std::string where = destination_.directory == "." ? "the working directory"
                                                          : destination_.directory;
  return "cannot write in " + where + (destination_.exists ? " to replace " : " to create ") +
         kResultName + ": " + last_error_text();
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
  if (!write_all(temporary_.file, block_.data(), size)) {
    *error = failure("cannot write", last_error_text());
    return false;
  }
  // Start writing back what is already here, so that the sync before the
  // rename waits for the last blocks only, not for the whole file.
  start_writeback(temporary_.file, written_, static_cast<long long>(size));
  written_ += static_cast<long long>(size);
  next_ = block_.data();
  return true;
}

bool ResultFile::commit(std::string* error) {
  // Synced before it is named and renamed, so that a crash cannot leave an
  // empty file in place of the old one.  Each reason is taken as soon as
  // its call fails, before a close or a removal can overwrite it.
  bool ok = flush(error);
  if (ok && !sync_file(temporary_.file)) {
    *error = failure("cannot write", last_error_text());
    ok = false;
  }
  if (ok && !name_temporary(destination_, &temporary_)) {
    *error = directory_failure();
    ok = false;
  }
  const File file = temporary_.file;
  temporary_.file = kNoFile;
  if (!close_file(file) && ok) {
    *error = failure("cannot write", last_error_text());
    ok = false;
  }
  if (ok && !replace_with_temporary(destination_, &temporary_)) {
    *error = failure("cannot replace", last_error_text());
    ok = false;
  }
  if (!ok) discard();
  return ok;
}

void ResultFile::discard() { remove_temporary(&temporary_); }

}  // namespace telk
