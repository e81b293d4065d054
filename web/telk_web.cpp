// The calculator of the browser page, compiled to WebAssembly: the five
// answers go in as typed in their fields; the result file's bytes are
// written into the module's memory, where the page reads them, or the
// lines the console would show for what was typed are.
//
// The page calls telk_field() for each field and fills it, then
// telk_calculate(), then reads what it left through the other exports,
// which hold until the next calculation.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "driver/answers.h"
#include "driver/sweep.h"
#include "report/layout.h"
#include "report/sink.h"

#ifdef __wasm__
#define TELK_EXPORT(name) __attribute__((export_name(name)))
#else
#define TELK_EXPORT(name)
#endif

namespace {

constexpr std::size_t kQuestionCount = std::size(telk::kQuestions);

// The file's bytes, in blocks of a mebibyte that are never copied or moved
// (one buffer would be copied as it grew): the page makes the download of
// them all at once.  Each row is written whole into the room made for it,
// so no row straddles two blocks.
class BlockSink : public telk::Sink {
 public:
  BlockSink(std::vector<std::unique_ptr<char[]>>* blocks, std::vector<std::string_view>* written)
      : blocks_(blocks), written_(written) {}

  // Ends the last block.
  void finish() { end_block(); }

 private:
  bool make_room(std::size_t size, std::string* error) override {
    end_block();
    const std::size_t block = std::max(size, std::size_t{1} << 20);
    char* bytes = new (std::nothrow) char[block];
    if (bytes == nullptr) {
      *error = std::string("cannot write ") + telk::kResultName + ": out of memory";
      return false;
    }
    blocks_->emplace_back(bytes);
    next_ = bytes;
    end_ = bytes + block;
    return true;
  }

  void end_block() {
    if (blocks_->empty()) return;
    const char* start = blocks_->back().get();
    written_->emplace_back(start, static_cast<std::size_t>(next_ - start));
  }

  std::vector<std::unique_ptr<char[]>>* blocks_;
  std::vector<std::string_view>* written_;
};

// What the last calculation left for the page.
struct Result {
  std::string fields[kQuestionCount];
  std::string errors[kQuestionCount + 1];  // the last: about no question
  std::vector<std::unique_ptr<char[]>> blocks;
  std::vector<std::string_view> file;  // the written part of each block
  std::size_t rows = 0;
  std::vector<const char*> plot_rows;
};
Result g_result;

// The question a line is about: the one whose name begins it.
std::size_t question_named(std::string_view line) {
  for (std::size_t i = 0; i < kQuestionCount; ++i) {
    const std::string_view name = telk::kQuestions[i].name;
    if (line.substr(0, name.size()) == name && line.substr(name.size(), 1) == ":") return i;
  }
  return kQuestionCount;
}

// Counts the rows after the header, and finds those the plot needs.  A
// row's cells after its height (the ratios and the angles) are the same
// bytes as the row before's for long runs, so a run is drawn by its first
// and last rows: the same lines as every row, with a few hundred points
// rather than millions.
void find_plot_rows(std::size_t header_size, Result* result) {
  std::string_view before;  // the row before, from its first tab
  const char* last = nullptr;
  bool last_kept = false;
  for (std::string_view block : result->file) {
    block.remove_prefix(std::min(header_size, block.size()));
    header_size -= std::min(header_size, block.size());
    while (!block.empty()) {
      const std::size_t end = block.find('\n');
      const std::string_view row = block.substr(0, end == block.npos ? block.size() : end + 1);
      block.remove_prefix(row.size());
      ++result->rows;
      const std::string_view after_height = row.substr(std::min(row.find('\t'), row.size()));
      if (after_height == before) {
        last_kept = false;
      } else {
        if (last != nullptr && !last_kept) result->plot_rows.push_back(last);
        result->plot_rows.push_back(row.data());
        last_kept = true;
        before = after_height;
      }
      last = row.data();
    }
  }
  if (last != nullptr && !last_kept) result->plot_rows.push_back(last);
}

}  // namespace

extern "C" {

// Room for the text of one field, which the page then fills.
TELK_EXPORT("telk_field") char* telk_field(std::size_t question, std::size_t size) {
  if (question >= kQuestionCount) return nullptr;
  g_result.fields[question].assign(size, '\0');
  return g_result.fields[question].data();
}

// 0 when the whole file was written; otherwise telk_error() says why.
TELK_EXPORT("telk_calculate") int telk_calculate() {
  Result& result = g_result;
  for (std::string& error : result.errors) error.clear();
  result.blocks.clear();
  result.file.clear();
  result.plot_rows.clear();
  result.rows = 0;
  // Every field is read, so the page can show each one's error at once.
  telk::Answers answers{};
  bool read = true;
  for (std::size_t i = 0; i < kQuestionCount; ++i) {
    const auto answer =
        telk::field_answer(result.fields[i], telk::kQuestions[i].name, &result.errors[i]);
    if (answer) answers.*telk::kQuestions[i].answer = *answer;
    read = read && answer.has_value();
  }
  if (!read) return 1;
  std::string error;
  BlockSink sink(&result.blocks, &result.file);
  const auto plan = telk::check_sweep(answers, &error);
  if (!plan || !telk::sweep(*plan, &sink, nullptr, &error)) {
    result.errors[question_named(error)] = error;
    result.blocks.clear();
    result.file.clear();
    return 1;
  }
  sink.finish();
  find_plot_rows(telk::header(answers.density, answers.friction_angle, answers.cohesion).size(),
                 &result);
  return 0;
}

// The name the file is saved under, as the console writes it.
TELK_EXPORT("telk_result_name") const char* telk_result_name() { return telk::kResultName; }

// The line about a question (5: about none), "" when there is nothing to say.
TELK_EXPORT("telk_error") const char* telk_error(std::size_t question) {
  return question <= kQuestionCount ? g_result.errors[question].c_str() : "";
}

// The file, block by block: its bytes are those of every block in turn.
TELK_EXPORT("telk_blocks") std::size_t telk_blocks() { return g_result.file.size(); }
TELK_EXPORT("telk_block") const char* telk_block(std::size_t i) {
  return i < g_result.file.size() ? g_result.file[i].data() : nullptr;
}
TELK_EXPORT("telk_block_size") std::size_t telk_block_size(std::size_t i) {
  return i < g_result.file.size() ? g_result.file[i].size() : 0;
}

// The count of rows after the header, and where the plot's rows begin.
TELK_EXPORT("telk_rows") std::size_t telk_rows() { return g_result.rows; }
TELK_EXPORT("telk_plot_rows") std::size_t telk_plot_rows() { return g_result.plot_rows.size(); }
TELK_EXPORT("telk_plot_row") const char* telk_plot_row(std::size_t i) {
  return i < g_result.plot_rows.size() ? g_result.plot_rows[i] : nullptr;
}

}  // extern "C"
