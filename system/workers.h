// Threads that run a batch of independent tasks on every core: the
// sweep's slopes, each solved alone, so that which thread solves which
// never changes an answer.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace telk {

class Workers {
 public:
  // `threads` in all, the caller's among them: 0 for one a core.  The
  // others start with the first batch of more than one task (a check off
  // the table), and never take a signal: those reach the main thread.
  explicit Workers(std::size_t threads = 0);
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Runs task(i) once for each i in [0, n), on the calling thread and the
  // workers, and returns when every one has run.  Tasks must not write
  // what another reads or writes.  One batch at a time.
  void run_each(std::size_t n, const std::function<void(std::size_t)>& task);

  std::size_t threads() const { return count_; }

 private:
  void work();
  // Takes the batch's next task and runs it; false when none is left.
  bool run_next(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  const std::function<void(std::size_t)>* task_ = nullptr;
  std::size_t next_ = 0, size_ = 0, running_ = 0;
  bool stopping_ = false;
  std::size_t count_;
  std::vector<std::thread> threads_;
};

// The threads telk runs on: TELK_THREADS where it is a whole number from 1
// to 256, else one a core.
std::size_t thread_count(const char* telk_threads);

}  // namespace telk
