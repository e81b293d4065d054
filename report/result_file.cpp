#include "report/result_file.h"

namespace telk {

bool ResultFile::create(std::string* error) {
  if (!file_.create(error)) return false;
  writer_ = std::make_unique<BlockWriter>(file_);
  return true;
}

bool ResultFile::finish(std::string* error) {
  // Every block written and the writer gone before the file is synced,
  // named and renamed, so that a crash cannot leave an empty file in place
  // of the old one.
  const bool written = writer_->finish(error);
  writer_.reset();
  if (written) return file_.finish(error);
  file_.discard();
  return false;
}

}  // namespace telk
