#include "system/workers.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "system/platform.h"

namespace telk {

Workers::Workers(std::size_t threads)
    : count_(threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency())) {}

Workers::~Workers() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

bool Workers::run_next(std::unique_lock<std::mutex>& lock) {
  if (task_ == nullptr || next_ == size_) return false;
  const std::size_t i = next_++;
  const std::function<void(std::size_t)>& task = *task_;
  ++running_;
  lock.unlock();
  task(i);
  lock.lock();
  if (--running_ == 0 && next_ == size_) done_.notify_all();
  return true;
}

void Workers::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || (task_ != nullptr && next_ < size_); });
    if (stopping_) return;
    while (run_next(lock)) {
    }
  }
}

void Workers::run_each(std::size_t n, const std::function<void(std::size_t)>& task) {
  if (n == 0) return;
  if (n > 1 && threads_.empty()) {
    for (std::size_t i = 1; i < count_; ++i) threads_.push_back(start_thread([this] { work(); }));
  }
  std::unique_lock<std::mutex> lock(mutex_);
  task_ = &task, next_ = 0, size_ = n;
  if (n > 1) wake_.notify_all();
  while (run_next(lock)) {
  }
  done_.wait(lock, [this] { return running_ == 0; });
  task_ = nullptr;
}

std::size_t thread_count(const char* telk_threads) {
  if (telk_threads != nullptr) {
    unsigned n = 0;
    const char* end = telk_threads + std::strlen(telk_threads);
    const auto [at, error] = std::from_chars(telk_threads, end, n);
    if (error == std::errc() && at == end && n >= 1 && n <= 256) return n;
  }
  return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace telk
