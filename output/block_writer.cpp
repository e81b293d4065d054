#include "output/block_writer.h"

#include <system_error>
#include <utility>

namespace telk {

BlockWriter::BlockWriter(const Replacement& file)
    : file_(file), blocks_(new char[kBlocks * kBlockSize]) {
  next_ = block();
  end_ = next_ + kBlockSize;
  // Threads that block every signal: a signal taken here would end the
  // run while the main thread is in a held step.
  try {
    writer_ = start_thread(&BlockWriter::write_blocks, this);
    syncer_ = start_thread(&BlockWriter::sync_blocks, this);
  } catch (const std::system_error&) {
    // No thread to be had: hand_over() writes each block itself, or the
    // writer does without syncs along the way.
  }
}

BlockWriter::~BlockWriter() { stop(); }

void BlockWriter::stop() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (writer_.joinable()) writer_.join();
  if (syncer_.joinable()) syncer_.join();
}

void BlockWriter::fail(std::string why) {
  if (!failed_) reason_ = std::move(why);
  failed_ = true;
  changed_.notify_all();
}

bool BlockWriter::make_room(std::size_t size, std::string* error) {
  if (size > kBlockSize) {
    *error = file_.write_failure("a row longer than a block");
    return false;
  }
  return hand_over(error);
}

bool BlockWriter::hand_over(std::string* error) {
  sizes_[filling_] = static_cast<std::size_t>(next_ - block());
  next_ = end_ = nullptr;
  if (!writer_.joinable()) {
    failed_ = !write_block(filling_, &reason_);
    if (failed_) {
      *error = file_.write_failure(reason_);
      return false;
    }
  } else {
    std::unique_lock<std::mutex> lock(mutex_);
    ++queued_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return queued_ < kBlocks || failed_; });
    if (failed_) {
      *error = file_.write_failure(reason_);
      return false;
    }
    filling_ = (filling_ + 1) % kBlocks;
  }
  next_ = block();
  end_ = next_ + kBlockSize;
  return true;
}

bool BlockWriter::finish(std::string* error) {
  if (!hand_over(error)) return false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queued_ == 0 || failed_; });
  }
  stop();
  if (failed_) *error = file_.write_failure(reason_);
  return !failed_;
}

void BlockWriter::write_blocks() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return queued_ > 0 || stop_; });
    if (stop_) return;
    const int index = writing_;
    lock.unlock();
    std::string why;
    const bool written = write_block(index, &why);
    lock.lock();
    if (!written) return fail(std::move(why));
    writing_ = (writing_ + 1) % kBlocks;
    --queued_;
    if (written_ - sync_asked_ >= kSyncEvery) {
      sync_asked_ = written_;
      sync_wanted_ = true;
    }
    changed_.notify_all();
  }
}

void BlockWriter::sync_blocks() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return sync_wanted_ || stop_; });
    if (stop_) return;
    sync_wanted_ = false;
    lock.unlock();
    const bool synced = os::sync_file(file_.file());
    // Taken here: the system keeps the reason per thread.
    std::string why = synced ? std::string() : os::last_error_text();
    lock.lock();
    if (!synced) return fail(std::move(why));
  }
}

bool BlockWriter::write_block(int index, std::string* why) {
  if (sizes_[index] == 0) return true;
  const char* data = blocks_.get() + index * kBlockSize;
  if (!os::write_all(file_.file(), data, sizes_[index])) {
    // Taken here: the system keeps the reason per thread.
    *why = os::last_error_text();
    return false;
  }
  // Start writing back what is already here, so that each sync waits for
  // little more than the disk's own flush.
  os::start_writeback(file_.file(), written_, static_cast<long long>(sizes_[index]));
  written_ += static_cast<long long>(sizes_[index]);
  return true;
}

}  // namespace telk
