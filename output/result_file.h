// A file of the working directory written so that it is never lost or
// half-written: its bytes go in large blocks to a new file that replaces
// the old one only once it is whole (see Replacement).
#pragma once

#include <memory>
#include <span>
#include <string>

#include "output/block_writer.h"
#include "output/sink.h"
#include "system/platform.h"

namespace telk {

class ResultFile {
 public:
  explicit ResultFile(const char* name) : name_(name), file_(name) {}

  // Makes sure the file may be replaced, and opens the new file.  On
  // failure nothing has been touched.
  bool create(std::string* error);
  // False, with the line to show, when `other` would replace the same file
  // under another name (a link between the two).
  bool apart_from(const ResultFile& other, std::string* error) const {
    return file_.apart_from(other.file_, error);
  }
  // Where the bytes go, between create() and finish().
  Sink* sink() { return writer_.get(); }
  // Writes what is left, syncs, names and closes the new file; then
  // put_in_place() renames it over the old one.  On failure the new file
  // is removed and the old one stays.
  bool finish(std::string* error);
  bool put_in_place(std::string* error) { return file_.put_in_place(error); }

 private:
  friend bool put_in_place(std::span<ResultFile* const> files, std::string* error);
  const char* name_;
  Replacement file_;
  std::unique_ptr<BlockWriter> writer_;
};

// Puts finished files in place as one step: with signals held from the
// first rename to the last directory sync, and their directories locked
// against other runs (see put_in_place in system/platform.h).
bool put_in_place(std::span<ResultFile* const> files, std::string* error);

}  // namespace telk
