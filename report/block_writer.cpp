#include "report/block_writer.h"

#include <system_error>

namespace telk {

BlockWriter::BlockWriter(File file)
    : file_(file), blocks_(new char[kBlocks * kBlockSize]) {
  try {
    thread_ = std::thread(&BlockWriter::write_blocks, this);
  } catch (const std::system_error&) {
    // No thread to be had: hand_over() writes each block itself.
  }
}

BlockWriter::~BlockWriter() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

char* BlockWriter::hand_over(std::size_t size) {
  sizes_[filling_] = size;
  if (!thread_.joinable()) {
    failed_ = !write_block(filling_);
    return failed_ ? nullptr : block();
  }
  std::unique_lock<std::mutex> lock(mutex_);
  ++queued_;
  changed_.notify_all();
  changed_.wait(lock, [this] { return queued_ < kBlocks || failed_; });
  if (failed_) return nullptr;
  filling_ = (filling_ + 1) % kBlocks;
  return block();
}

bool BlockWriter::finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return queued_ == 0 || failed_; });
  return !failed_;
}

void BlockWriter::write_blocks() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return queued_ > 0 || stop_; });
    if (stop_) return;
    const int index = writing_;
    lock.unlock();
    const bool written = write_block(index);
    lock.lock();
    if (!written) {
      failed_ = true;
      changed_.notify_all();
      return;
    }
    writing_ = (writing_ + 1) % kBlocks;
    --queued_;
    changed_.notify_all();
  }
}

bool BlockWriter::write_block(int index) {
  if (sizes_[index] == 0) return true;
  const char* data = blocks_.get() + index * kBlockSize;
  if (!write_all(file_, data, sizes_[index])) {
    // Taken here: the system keeps the reason per thread.
    reason_ = last_error_text();
    return false;
  }
  // Start writing back what is already here, so that the final sync waits
  // for the last blocks only, not for the whole file.
  start_writeback(file_, written_, static_cast<long long>(sizes_[index]));
  written_ += static_cast<long long>(sizes_[index]);
  return true;
}

}  // namespace telk
