#include "output/result_file.h"

#include <algorithm>
#include <vector>

namespace telk {

bool ResultFile::create(std::string* error) {
  if (!file_.create(error)) return false;
  writer_ = std::make_unique<BlockWriter>(file_);
  return true;
}

bool ResultFile::finish(std::string* error) {
  if (writer_ == nullptr) {
    *error = std::string("cannot write ") + name_ + ": it was not created";
    return false;
  }
  // Every block written and the writer gone before the file is synced,
  // named and renamed, so that a crash cannot leave an empty file in place
  // of the old one.
  const bool written = writer_->finish(error);
  writer_.reset();
  if (written) return file_.finish(error);
  file_.discard();
  return false;
}

bool put_in_place(std::span<ResultFile* const> files, std::string* error) {
  std::vector<Replacement*> replacements(files.size());
  std::transform(files.begin(), files.end(), replacements.begin(),
                 [](ResultFile* f) { return &f->file_; });
  return put_in_place(std::span<Replacement* const>(replacements), error);
}

}  // namespace telk
