// Writing the result file so that it is never lost or half-written: the
// bytes go to a new file beside it (beside the file a link leads to),
// which takes its place only once every byte is written, synced and
// closed, with the old file's permissions.  Until then an existing result
// file stays exactly as it was.
#pragma once

#include <cstddef>
#include <string>
#include <memory>
#include <string_view>

#include "report/block_writer.h"
#include "report/sink.h"
#include "system/platform.h"

namespace telk {

// The file every run writes, in the working directory.
inline constexpr char kResultName[] = "TELK_result.xls";

class ResultFile : public Sink {
 public:
  ResultFile();
  ~ResultFile() override;  // removes the new file unless commit() succeeded
  ResultFile(const ResultFile&) = delete;
  ResultFile& operator=(const ResultFile&) = delete;

  // Makes sure the result file may be replaced, and opens the new file.
  // On failure nothing has been touched.
  bool create(std::string* error);
  // Writes what is left, syncs, names and closes the new file, then renames
  // it over the result file.  On failure the new file is removed.
  bool commit(std::string* error);

 private:
  // The bytes are gathered into large blocks, each written on a thread of
  // its own while the next one fills.
  bool make_room(std::size_t size, std::string* error) override;
  bool hand_over(std::string* error);
  void discard();
  // Why the new file cannot be made or named: the directory's fault.
  std::string directory_failure() const;

  Destination destination_;
  Temporary temporary_;
  std::unique_ptr<BlockWriter> writer_;
};

}  // namespace telk
