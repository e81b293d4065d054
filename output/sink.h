// Where the result file's bytes go: the file on disk (ResultFile), or
// memory for a front end that hands them on itself, and for tests.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace telk {

// A sink owns a buffer and lends its free end to the writer, as a stream
// buffer does: a sweep formats its cells in place, and only a full buffer
// costs a call.
class Sink {
 public:
  virtual ~Sink() = default;

  // Room for up to `size` bytes after those already taken: write them
  // there, then pass their end to end_write().  Null, with the reason in
  // *error, when the sink cannot make room (it cannot write out).
  char* begin_write(std::size_t size, std::string* error) {
    if (size > static_cast<std::size_t>(end_ - next_) && !make_room(size, error))
      return nullptr;
    return next_;
  }
  void end_write(char* end) { next_ = end; }

  bool append(std::string_view data, std::string* error) {
    char* out = begin_write(data.size(), error);
    if (out == nullptr) return false;
    end_write(std::copy(data.begin(), data.end(), out));
    return true;
  }

 protected:
  // Makes [next_, end_) hold at least `size` bytes: writes the buffer out,
  // or grows it.
  virtual bool make_room(std::size_t size, std::string* error) = 0;

  char* next_ = nullptr;  // the buffer's free end
  char* end_ = nullptr;
};

// The bytes kept in memory, growing as needed.
class MemorySink : public Sink {
 public:
  MemorySink() { next_ = end_ = buffer_.data(); }
  MemorySink(const MemorySink&) = delete;
  MemorySink& operator=(const MemorySink&) = delete;

  std::string_view bytes() const {
    return {buffer_.data(), static_cast<std::size_t>(next_ - buffer_.data())};
  }

 private:
  bool make_room(std::size_t size, std::string* /*error*/) override {
    const auto used = static_cast<std::size_t>(next_ - buffer_.data());
    buffer_.resize(std::max(2 * buffer_.size(), used + size));
    next_ = buffer_.data() + used;
    end_ = buffer_.data() + buffer_.size();
    return true;
  }

  std::string buffer_;
};

}  // namespace telk
