// The calculator of the browser page, compiled to WebAssembly: the five
// answers go in as typed in their fields, and for the check the ground's
// options as the console takes them after --check; the result file's
// bytes, and with the check the check file's, are written into the
// module's memory, where the page reads them, or the lines the console
// would show for what was typed are.
//
// The page calls telk_field() for each field and fills it, telk_options()
// and telk_option() for the options, then telk_calculate(), then reads
// what it left through the other exports, which hold until the next
// calculation.  A file is named by its number: 0 the result file, 1 the
// check file.  A check with water, a deeper base or a load, which takes
// seconds, tells the page how far it has come through the import
// telk.progress.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/answers.h"
#include "driver/check.h"
#include "driver/options.h"
#include "driver/sweep.h"
#include "output/sink.h"
#include "report/check_file.h"
#include "report/layout.h"

#ifdef __wasm__
#define TELK_EXPORT(name) __attribute__((export_name(name)))
// The page's function that shows the share of a slow check done, 0 to 1.
extern "C" __attribute__((import_module("telk"), import_name("progress"))) void
telk_progress(double share);
#else
#define TELK_EXPORT(name)
extern "C" void telk_progress(double) {}
#endif

namespace {

constexpr std::size_t kQuestionCount = std::size(telk::kQuestions);
// The error lines: one for each question, one about no question, and one
// about the options, which names the option it is about.
constexpr std::size_t kAboutNone = kQuestionCount;
constexpr std::size_t kAboutOptions = kQuestionCount + 1;

// A file's bytes, in blocks of a mebibyte that are never copied or moved
// (one buffer would be copied as it grew): the page makes the download of
// them all at once.  Each row is written whole into the room made for it,
// so no row straddles two blocks.
struct BlockFile {
  std::vector<std::unique_ptr<char[]>> blocks;
  std::vector<std::string_view> written;  // the written part of each block
  std::vector<const char*> plot_rows;     // where the plot's rows begin

  void clear() {
    blocks.clear();
    written.clear();
    plot_rows.clear();
  }
};

// Writes the bytes of a BlockFile, named in its out-of-memory line.
class BlockSink : public telk::Sink {
 public:
  BlockSink(BlockFile* file, const char* name)
      : blocks_(&file->blocks), written_(&file->written), name_(name) {}

  // Ends the last block.
  void finish() { end_block(); }

 private:
  bool make_room(std::size_t size, std::string* error) override {
    end_block();
    const std::size_t block = std::max(size, std::size_t{1} << 20);
    char* bytes = new (std::nothrow) char[block];
    if (bytes == nullptr) {
      *error = std::string("cannot write ") + name_ + ": out of memory";
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
  const char* name_;
};

// What the last calculation left for the page.
struct Result {
  std::string fields[kQuestionCount];
  std::vector<std::string> options;     // the option arguments, for the check
  std::string errors[kAboutOptions + 1];
  telk::OptionError option_error;        // what the line about the options says
  BlockFile files[2];                   // the result file, the check file
  int check_header_lines = telk::kHeaderLines;
  std::size_t rows = 0;
  // With the check: for each factor of safety, the line on its lowest
  // Bishop factor of safety, and whether that falls short of it.
  std::string check_lines[telk::kGroups];
  bool check_short[telk::kGroups] = {};
};
Result g_result;

// The question a line is about: the one whose name begins it, else
// kAboutNone.
std::size_t question_named(std::string_view line) {
  for (std::size_t i = 0; i < kQuestionCount; ++i) {
    const std::string_view name = telk::kQuestions[i].name;
    if (line.substr(0, name.size()) == name && line.substr(name.size(), 1) == ":") return i;
  }
  return kAboutNone;
}

// The rows the plot needs, as the sweep writes them.  A row's cells after
// its height (the ratios and the angles) are the same as the row before's
// for long runs, so a run is drawn by its first and last rows: the same
// lines as every row, with a few hundred points rather than millions.
// With the check, a run ends too where a steepest angle of Bishop's
// changes, so that the dashed lines are drawn as every row draws them, and
// the check file's plot rows are those of the same row numbers.
class PlotRows : public telk::RowWatcher {
 public:
  explicit PlotRows(Result* result) : result_(result) {}

  void row(const char* row, const char* check_row, bool changed) override {
    if (changed) {
      if (last_ != nullptr && !last_kept_) keep(last_, last_check_);
      keep(row, check_row);
    }
    last_kept_ = changed;
    last_ = row;
    last_check_ = check_row;
  }

  // Keeps the last row, unless it is kept already.
  void finish() {
    if (last_ != nullptr && !last_kept_) keep(last_, last_check_);
  }

 private:
  void keep(const char* row, const char* check_row) {
    result_->files[0].plot_rows.push_back(row);
    if (check_row != nullptr) result_->files[1].plot_rows.push_back(check_row);
  }

  Result* result_;
  const char* last_ = nullptr;
  const char* last_check_ = nullptr;
  bool last_kept_ = false;
};

// Tells the page how far a slow check has come, each hundredth of the
// way: a call into the page for every row of a million would cost more
// than the row.
class PageProgress : public telk::Progress {
 public:
  void at(double share) override {
    if (share < next_) return;
    next_ = share + 0.01;
    telk_progress(share);
  }

 private:
  double next_ = 0;
};

// Reads the options as the console does, into *options; false with the
// option and why.  The page's water table runs from the toe to the
// ground's surface N heights behind it, "0,0,N,1": N is one number, read
// as an answer is, so that "1,5" is refused with the decimal point's hint
// rather than taken for more points, and one above 0, which the line says
// of the field rather than of the table's points.
bool read_options(const std::vector<std::string>& typed, telk::GroundOptions* options,
                  telk::OptionError* error) {
  const std::string_view water = telk::option_of(telk::kWaterTable);
  for (std::size_t i = 0; i + 1 < typed.size(); ++i) {
    const std::string_view table = typed[i + 1];
    if (typed[i] != water || !table.starts_with("0,0,") || !table.ends_with(",1")) continue;
    const std::string_view behind = table.substr(4, table.size() - 6);
    const std::optional<double> n = telk::option_number(behind, &error->why);
    const bool not_behind = n && std::isfinite(*n) && *n <= 0;
    if (not_behind) error->why = telk::as_typed(behind) + " is not above 0";
    if (!n || not_behind) {
      error->option = water;
      return false;
    }
  }
  const std::vector<std::string_view> args(typed.begin(), typed.end());
  return telk::read_options(args, false, options, error) == telk::OptionsRead::kRead;
}

const BlockFile* file_numbered(std::size_t file) {
  return file < std::size(g_result.files) ? &g_result.files[file] : nullptr;
}

}  // namespace

extern "C" {

// Room for the text of one field, which the page then fills.
TELK_EXPORT("telk_field") char* telk_field(std::size_t question, std::size_t size) {
  if (question >= kQuestionCount) return nullptr;
  g_result.fields[question].assign(size, '\0');
  return g_result.fields[question].data();
}

// The option arguments for the check, as the console takes them after
// --check ("--ru", "0.25", ...): their count, which sets them all to "",
// then room for the text of each, which the page then fills.
TELK_EXPORT("telk_options") void telk_options(std::size_t count) {
  g_result.options.assign(count, std::string());
}
TELK_EXPORT("telk_option") char* telk_option(std::size_t i, std::size_t size) {
  if (i >= g_result.options.size()) return nullptr;
  g_result.options[i].assign(size, '\0');
  return g_result.options[i].data();
}

// 0 when the whole file was written, and with `check` (not 0) the check
// file too, with the options; otherwise telk_error() says why.
TELK_EXPORT("telk_calculate") int telk_calculate(int check) {
  Result& result = g_result;
  for (std::string& error : result.errors) error.clear();
  result.option_error = {};
  for (BlockFile& file : result.files) file.clear();
  for (std::string& line : result.check_lines) line.clear();
  for (bool& short_of : result.check_short) short_of = false;
  result.rows = 0;
  result.check_header_lines = telk::kHeaderLines;
  telk::GroundOptions options;
  bool read = check == 0 || read_options(result.options, &options, &result.option_error);
  // Every field is read, so the page can show each one's error at once.
  telk::Answers answers{};
  for (std::size_t i = 0; i < kQuestionCount; ++i) {
    const auto answer =
        telk::field_answer(result.fields[i], telk::kQuestions[i].name, &result.errors[i]);
    if (answer) answers.*telk::kQuestions[i].answer = *answer;
    read = read && answer.has_value();
  }
  // The unit weight of water is settled by the density, once it is read,
  // and the base is checked against the first row's height.
  read = read && telk::settle_water(answers.density, &options, &result.option_error) &&
         (check == 0 || telk::base_within_reach(answers, options, &result.option_error));
  result.errors[kAboutOptions] = result.option_error.line();
  if (!read) return 1;
  result.check_header_lines = telk::check_header_lines(telk::check_ground(options));
  std::string error;
  BlockSink sink(&result.files[0], telk::kResultName);
  BlockSink check_sink(&result.files[1], telk::kCheckName);
  std::optional<telk::Check> checked;
  const auto plan = telk::check_sweep(answers, &error);
  PageProgress progress;
  if (plan && check != 0) checked.emplace(answers, &check_sink, options, &progress);
  PlotRows plot_rows(&result);
  if (!plan ||
      !telk::sweep(*plan, &sink, nullptr, &error, checked ? &*checked : nullptr, &plot_rows)) {
    result.errors[question_named(error)] = error;
    for (BlockFile& file : result.files) file.clear();
    return 1;
  }
  sink.finish();
  check_sink.finish();
  plot_rows.finish();
  result.rows = static_cast<std::size_t>(plan->rows());
  if (checked) {
    for (int g = 0; g < telk::kGroups; ++g) {
      result.check_lines[g] = checked->lowest_line(g);
      result.check_short[g] = checked->falls_short(g);
    }
  }
  return 0;
}

// The names the files are saved under, as the console writes them.
TELK_EXPORT("telk_result_name") const char* telk_result_name() { return telk::kResultName; }
TELK_EXPORT("telk_check_name") const char* telk_check_name() { return telk::kCheckName; }

// The layout the page reads the files by: the lines of a file's header
// (the check file's has more with the options), and where a number of column group g (0 to telk_groups() - 1) stands in
// a row of `file`, counted from 0: `what` is 0 the height, 1 the slope
// angle (the chart's), 2 Bishop's factor of safety of it and 3 Bishop's
// steepest angle (the check file's); -1 for a number the file has not.
TELK_EXPORT("telk_header_lines") int telk_header_lines(std::size_t file) {
  return file == 1 ? g_result.check_header_lines : telk::kHeaderLines;
}
TELK_EXPORT("telk_groups") int telk_groups() { return telk::kGroups; }
TELK_EXPORT("telk_cell") int telk_cell(std::size_t file, int what, int g) {
  if (g < 0 || g >= telk::kGroups) return -1;
  if (what == 0) return telk::kHeightCell;
  if (file == 0) return what == 1 ? telk::angle_cell(g) : -1;
  if (file != 1) return -1;
  if (what == 1) return telk::check_angle_cell(g);
  if (what == 2) return telk::check_fs_cell(g);
  return what == 3 ? telk::check_steepest_cell(g) : -1;
}
// Column group g's name, as the console gives it: "FS 1.0".
TELK_EXPORT("telk_group_title") const char* telk_group_title(int g) {
  static std::string titles[telk::kGroups];
  if (g < 0 || g >= telk::kGroups) return "";
  titles[g] = telk::fs_title(telk::kFactorsOfSafety[g].decimal);
  return titles[g].c_str();
}

// The line about a question (5: about none, 6: about the options, which
// begins with the option's name), "" when there is nothing to say.
TELK_EXPORT("telk_error") const char* telk_error(std::size_t question) {
  return question <= kAboutOptions ? g_result.errors[question].c_str() : "";
}
// The line about the options in two: the option it is about ("--water";
// "" for none), whose field the page names, and the rest after its name.
TELK_EXPORT("telk_error_option") const char* telk_error_option() {
  const std::string_view option = g_result.option_error.option;  // a name of the table's
  return option.empty() ? "" : option.data();
}
TELK_EXPORT("telk_error_why") const char* telk_error_why() {
  return g_result.option_error.why.c_str();
}

// A file, block by block: its bytes are those of every block in turn.  A
// file that was not written has none.
TELK_EXPORT("telk_blocks") std::size_t telk_blocks(std::size_t file) {
  const BlockFile* f = file_numbered(file);
  return f != nullptr ? f->written.size() : 0;
}
TELK_EXPORT("telk_block") const char* telk_block(std::size_t file, std::size_t i) {
  const BlockFile* f = file_numbered(file);
  return f != nullptr && i < f->written.size() ? f->written[i].data() : nullptr;
}
TELK_EXPORT("telk_block_size") std::size_t telk_block_size(std::size_t file, std::size_t i) {
  const BlockFile* f = file_numbered(file);
  return f != nullptr && i < f->written.size() ? f->written[i].size() : 0;
}

// The count of rows after the header, and where a file's plot rows begin:
// the check file's are those of the same row numbers as the result file's.
TELK_EXPORT("telk_rows") std::size_t telk_rows() { return g_result.rows; }
TELK_EXPORT("telk_plot_rows") std::size_t telk_plot_rows(std::size_t file) {
  const BlockFile* f = file_numbered(file);
  return f != nullptr ? f->plot_rows.size() : 0;
}
TELK_EXPORT("telk_plot_row") const char* telk_plot_row(std::size_t file, std::size_t i) {
  const BlockFile* f = file_numbered(file);
  return f != nullptr && i < f->plot_rows.size() ? f->plot_rows[i] : nullptr;
}

// After a check, the line on the lowest Bishop factor of safety for the
// column group g (as telk_group_title names it), as the console shows it
// ("" without the check), and 1 when it falls short of it (Check::falls_short).
TELK_EXPORT("telk_check_line") const char* telk_check_line(std::size_t g) {
  return g < std::size(g_result.check_lines) ? g_result.check_lines[g].c_str() : "";
}
TELK_EXPORT("telk_check_short") int telk_check_short(std::size_t g) {
  return g < std::size(g_result.check_short) && g_result.check_short[g] ? 1 : 0;
}

}  // extern "C"
