// The result file's life: exclusive creation of the temporary file, writes
// in large blocks handed to writeback as they land, sync, close and the
// replacing rename.  The system calls themselves are in system/platform.cpp.
#include "report/result_file.h"

#include <algorithm>
#include <cstdio>

namespace telk {

namespace {

std::string failure(const char* what, const std::string& reason = last_error_text()) {
  return std::string(what) + " " + kResultName + ": " + reason;
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
      writer_ = std::make_unique<BlockWriter>(file_);
      next_ = writer_->block();
      end_ = next_ + BlockWriter::kBlockSize;
      return true;
    }
    if (!last_error_is_exists()) break;
  }
  *error = failure("cannot create");
  temporary_[0] = '\0';
  return false;
}

bool ResultFile::make_room(std::size_t size, std::string* error) {
  // A row is far smaller than a block.
  if (size > BlockWriter::kBlockSize) return false;
  return hand_over(error);
}

bool ResultFile::hand_over(std::string* error) {
  next_ = end_ = writer_->hand_over(static_cast<std::size_t>(next_ - writer_->block()));
  if (next_ == nullptr) {
    *error = failure("cannot write", writer_->reason());
    return false;
  }
  end_ = next_ + BlockWriter::kBlockSize;
  return true;
}

bool ResultFile::commit(std::string* error) {
  // Synced before the rename, so that a crash cannot leave an empty file
  // in place of the old one.  Each reason is taken as soon as its call
  // fails, before a close or a removal can overwrite it.
  bool ok = hand_over(error);
  if (ok && !writer_->finish()) {
    *error = failure("cannot write", writer_->reason());
    ok = false;
  }
  if (!ok) {
    discard();
    return false;
  }
  writer_.reset();
  const File file = file_;
  file_ = kNoFile;
  ok = sync_file(file);
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
  writer_.reset();
  next_ = end_ = nullptr;
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
