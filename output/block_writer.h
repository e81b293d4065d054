// A sink that writes a file's bytes in large blocks on a thread of its
// own, each block handed to writeback as it lands, so that writing one
// block overlaps the filling of the next; and syncs what is written as it
// goes, on another thread, so that the last sync waits for the tail only.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "output/sink.h"
#include "system/platform.h"

namespace telk {

class BlockWriter : public Sink {
 public:
  // Large enough that a write costs little next to filling the block.
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  // Writes to the new file of `file`, which outlives the writer.
  explicit BlockWriter(const Replacement& file);
  ~BlockWriter() override;  // waits for the block being written; drops the rest
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Writes what is left, waits until every block is written, and stops the
  // threads.  False, with the line to show, when a write or a sync failed.
  bool finish(std::string* error);

 private:
  // Hands over the block being filled; a row longer than a block cannot be
  // written.
  bool make_room(std::size_t size, std::string* error) override;
  // The block to fill, kBlockSize bytes.
  char* block() const { return blocks_.get() + filling_ * kBlockSize; }
  // Hands over the filled part of the block and starts the next one,
  // waiting while every block is queued.  False once a write has failed.
  bool hand_over(std::string* error);

  // Three blocks: one filling, one being written, one queued between them.
  static constexpr int kBlocks = 3;
  // How much is written between two syncs.  A disk flushes at each sync
  // what came since the one before (a virtual disk's host, its own
  // cache), so syncing as the file grows spreads that wait over the sweep.
  static constexpr long long kSyncEvery = 64LL << 20;

  void write_blocks();
  void sync_blocks();
  bool write_block(int index, std::string* why);
  void stop();
  void fail(std::string why);  // with mutex_ held

  const Replacement& file_;
  std::unique_ptr<char[]> blocks_;
  std::size_t sizes_[kBlocks] = {};
  int filling_ = 0;
  // Bytes written: touched only by the thread that writes blocks, the
  // writer's own, or the caller's where none could be started.
  long long written_ = 0;
  long long sync_asked_ = 0;  // written_ when a sync was last asked for

  std::mutex mutex_;  // guards what follows
  std::condition_variable changed_;
  int writing_ = 0;  // the oldest block handed over
  int queued_ = 0;   // blocks handed over and not yet written
  bool sync_wanted_ = false;
  bool stop_ = false;
  bool failed_ = false;
  std::string reason_;
  // Last: started once the rest is ready.
  std::thread writer_;
  std::thread syncer_;
};

}  // namespace telk
