// The result file's life: the check of what stands in its place, the new
// file, writes in large blocks handed to writeback as they land, sync,
// name, close and the replacing rename.  The system calls themselves are in
// system/platform.cpp.
#include "report/result_file.h"

namespace telk {

namespace {

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
  if (!create_temporary(destination_, &temporary_)) {
    *error = directory_failure();
    return false;
  }
  writer_ = std::make_unique<BlockWriter>(temporary_.file);
  next_ = writer_->block();
  end_ = next_ + BlockWriter::kBlockSize;
  return true;
}

std::string ResultFile::directory_failure() const {
  const std::string where = destination_.directory == "." ? "the working directory"
                                                          : destination_.directory;
  return "cannot write in " + where + (destination_.exists ? " to replace " : " to create ") +
         kResultName + ": " + last_error_text();
}

bool ResultFile::make_room(std::size_t size, std::string* error) {
  if (size > BlockWriter::kBlockSize) {
    *error = failure("cannot write", "a row longer than a block");
    return false;
  }
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
  // Every block written and the writer gone before the file is synced,
  // named and renamed, so that a crash cannot leave an empty file in place
  // of the old one.  Each reason is taken as soon as its call fails, before
  // a close or a removal can overwrite it.
  bool ok = hand_over(error);
  if (ok && !writer_->finish()) {
    *error = failure("cannot write", writer_->reason());
    ok = false;
  }
  writer_.reset();
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

void ResultFile::discard() {
  writer_.reset();
  next_ = end_ = nullptr;
  remove_temporary(&temporary_);
}

}  // namespace telk
