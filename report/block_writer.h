// Writes a file's bytes in large blocks on a thread of its own, each block
// handed to writeback as it lands, so that writing one block overlaps the
// filling of the next; and syncs what is written as it goes, on another
// thread, so that the last sync waits for the tail only.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "system/platform.h"

namespace telk {

class BlockWriter {
 public:
  // Large enough that a write costs little next to filling the block.
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  explicit BlockWriter(File file);
  ~BlockWriter();  // waits for the block being written; drops the rest
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // The block to fill, kBlockSize bytes.
  char* block() const { return blocks_.get() + filling_ * kBlockSize; }
  // Hands over the first `size` bytes of the block and returns the next
  // one to fill, waiting while every block is queued.  Null once a write
  // has failed.
  char* hand_over(std::size_t size);
  // Waits until every block handed over is written, and stops the
  // threads.  False when a write or a sync failed.
  bool finish();
  // The system's reason for a failed write or sync, once hand_over() or
  // finish() has said so.
  const std::string& reason() const { return reason_; }

 private:
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

  const File file_;
  std::unique_ptr<char[]> blocks_;
  std::size_t sizes_[kBlocks] = {};
  int filling_ = 0;
  long long written_ = 0;  // bytes written; the writer's alone
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
