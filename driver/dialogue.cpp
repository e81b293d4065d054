#include "driver/dialogue.h"

#include <algorithm>

#include "driver/answers.h"
#include "driver/check.h"
#include "report/check_file.h"
#include "report/layout.h"
#include "system/platform.h"

namespace telk {

namespace {

const char kBanner[] =
    "\n"
    "  ****************************************************************************\n"
    "  *                             TELK&VORN Calulator                          *\n"
    "  ****************************************************************************\n"
    "\n\n";

// One line of telk's own on standard error.
void say(std::FILE* err, const std::string& line) {
  std::fprintf(err, "telk: %s\n", line.c_str());
}

}  // namespace

bool ask_answers(std::FILE* in, std::FILE* out, std::FILE* err,
                 Answers* answers, std::string* error) {
  const bool ask_again = is_terminal(in);
  std::fputs(kBanner, out);
  for (const Question& question : kQuestions) {
    for (;;) {
      std::fputs(question.prompt, out);
      std::fflush(out);
      const auto answer = read_answer(in, question.name, error);
      if (answer) {
        answers->*question.answer = *answer;
        break;
      }
      // Input that has ended is never asked again.
      if (!ask_again || std::feof(in) != 0 || std::ferror(in) != 0) return false;
      say(err, *error);
      // A line like "3,5 1 2.2" must not give its later numbers to the
      // wrong questions.
      skip_line(in);
    }
  }
  return true;
}

void say_last(std::FILE* out, std::FILE* err, const std::string& line) {
  // The trace and the prompts have no line end: on a terminal the line
  // would follow them, and the shell's prompt would follow the trace.
  if (is_terminal(err) && is_terminal(out)) std::fputc('\n', err);
  say(err, line);
}

void say_written(std::FILE* out, std::FILE* err, int rows, bool checked) {
  if (!is_terminal(err)) return;
  say_last(out, err, std::to_string(rows) + (rows == 1 ? " row" : " rows") + " written to " +
                         kResultName + (checked ? std::string(" and ") + kCheckName : ""));
}

void say_checked(std::FILE* err, const Check& check) {
  if (!is_terminal(err)) return;
  for (int g = 0; g < kGroups; ++g) say(err, check.lowest_line(g));
}

constexpr char kProgressLine[] = "telk: checking by Bishop's method: ";
// Spaces over the line and its "100%", and back to its start for the next.
constexpr char kWipe[] = "\r                                       \r";
static_assert(sizeof kWipe == 1 + sizeof kProgressLine - 1 + 4 + 1 + 1);

TerminalProgress::TerminalProgress(std::FILE* out, std::FILE* err, double wait)
    : out_(out),
      err_(is_terminal(err) ? err : nullptr),
      show_from_(std::chrono::steady_clock::now() +
                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                     std::chrono::duration<double>(wait))) {}

void TerminalProgress::at(double share) {
  if (err_ == nullptr) return;
  // Whole percents, cut: 100 only when it is done.
  const int percent = static_cast<int>(std::clamp(share, 0.0, 1.0) * 100);
  if (percent == shown_ || std::chrono::steady_clock::now() < show_from_) return;
  // The first on a line of its own, after what standard output has shown.
  std::fflush(out_);
  const bool after_output = shown_ < 0 && is_terminal(out_);
  std::fprintf(err_, "%s%s%d%%", after_output ? "\n" : "\r", kProgressLine, percent);
  std::fflush(err_);
  // An interrupt takes the line away rather than leave the shell's prompt
  // after it.
  if (shown_ < 0) set_shown_line_wipe(kWipe);
  shown_ = percent;
}

void TerminalProgress::wipe() {
  if (is_terminal(out_)) clear();
}

void TerminalProgress::clear() {
  if (err_ == nullptr || shown_ < 0) return;
  std::fputs(kWipe, err_);
  std::fflush(err_);
  set_shown_line_wipe(nullptr);  // after it: an interrupt between wipes twice
  shown_ = -1;
}

}  // namespace telk
