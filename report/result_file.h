// Writing the result file so that it is never lost or half-written: the
// bytes go to a temporary file beside it, which replaces the result file
// only once every byte is written, synced and closed.  Until then an
// existing result file stays exactly as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <memory>

#include "report/block_writer.h"
#include "report/sink.h"
#include "system/platform.h"

namespace telk {

// The file every run writes, in the working directory.
inline constexpr char kResultName[] = "TELK_result.xls";

class ResultFile : public Sink {
 public:
  ResultFile();
  ~ResultFile() override;  // removes the temporary file unless commit() succeeded
  ResultFile(const ResultFile&) = delete;
  ResultFile& operator=(const ResultFile&) = delete;

  // Creates the temporary file in the working directory.
  bool create(std::string* error);
  // Writes what is left, syncs and closes the temporary file, then renames
  // it over the result file.  On failure the temporary file is removed.
  bool commit(std::string* error);

  // Name of the temporary file, empty when there is none.  Kept as a C
  // string so that a signal handler can remove it.
  const char* temporary_name() const { return temporary_; }

 private:
  // The bytes are gathered into large blocks, each written on a thread of
  // its own while the next one fills.
  bool make_room(std::size_t size, std::string* error) override;
  bool hand_over(std::string* error);
  void discard();

  File file_ = kNoFile;
  std::unique_ptr<BlockWriter> writer_;
  char temporary_[64] = {};
};

}  // namespace telk
