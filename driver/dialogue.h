// The console dialogue: the banner, then the five questions in turn, and
// at a terminal a word on how the run ended.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "driver/answers.h"
#include "driver/check.h"

namespace telk {

// Shows the banner and asks the five questions on `out`, each prompt shown
// before its answer is read from `in`.  An answer that cannot be read ends
// the dialogue with *error the line to show, naming the question and what
// was typed.  When `in` is a terminal, that line goes to `err` at once, the
// rest of the typed line is dropped and the same question is asked again,
// until a number comes or the input ends.
bool ask_answers(std::FILE* in, std::FILE* out, std::FILE* err,
                 Answers* answers, std::string* error);

// The run's last line on `err`, "telk: " and `line`; when `out` and `err`
// are terminals it starts on a line of its own.
void say_last(std::FILE* out, std::FILE* err, const std::string& line);

// After a run that wrote the result file (and with `checked` the check
// file): when `err` is a terminal, a last line there saying how many rows
// went where.
void say_written(std::FILE* out, std::FILE* err, int rows, bool checked = false);

// After a checked run, when `err` is a terminal: for each factor of
// safety, the lowest Bishop factor of safety among the column's angles and
// the height where it falls, saying plainly when it is more than 2% below
// the column's own.
void say_checked(std::FILE* err, const Check& check);

// A slow check's progress at a terminal: once it has run `wait` seconds, a
// line on `err` that moves, "telk: checking by Bishop's method: 42%",
// rubbed out by clear() before the run's last lines.  Nothing where `err`
// is not a terminal.
class TerminalProgress : public Progress {
 public:
  TerminalProgress(std::FILE* out, std::FILE* err, double wait = 1);
  void at(double share) override;
  // Before the console's trace: taken away where it shares a terminal
  // with standard output.
  void wipe() override;
  void clear();

 private:
  std::FILE* out_;
  std::FILE* err_;  // null where it is not a terminal
  std::chrono::steady_clock::time_point show_from_;
  int shown_ = -1;  // the percentage shown, -1 for none
};

}  // namespace telk
