#include "driver/dialogue.h"

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

}  // namespace telk
