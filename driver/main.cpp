// telk: asks for the ground's friction angle, cohesion and density, the
// height of the slope and a height step, and writes TELK_result.xls with
// the steepest safe slope angle for factors of safety 1.0, 1.3 and 1.5 at
// every step of height.
#include <cstdio>
#include <string>

#include "driver/answers.h"
#include "driver/platform.h"
#include "driver/sweep.h"
#include "report/report.h"
#include "report/result_file.h"

namespace {

constexpr int kBadInput = 1;
constexpr int kFileFailed = -1;  // what a failed close of the file returns

const char kBanner[] =
    "\n"
    "  ****************************************************************************\n"
    "  *                             TELK&VORN Calulator                          *\n"
    "  ****************************************************************************\n"
    "\n\n";

struct Question {
  const char* prompt;
  const char* name;  // as error lines call it
};

const Question kQuestions[] = {
    {"\tFriction angle \t\t[degree] :", "friction angle"},
    {"\n\tCohesion \t\t[Tn/m2]\t:", "cohesion"},
    {"\n\tDensity  \t\t[Tn/m3]\t:", "density"},
    {"\n\tHeight of the talus \t  [m]\t:", "height"},
    {"\n\tDefinition \t\t  [m]\t:", "definition"},
};

void fail(const std::string& line) {
  std::fprintf(stderr, "telk: %s\n", line.c_str());
}

}  // namespace

int main() {
  telk::guard_standard_streams();
  telk::ResultFile file;
  telk::handle_signals(file.temporary_name());

  std::fputs(kBanner, stdout);
  float answers[5] = {};
  std::string error;
  for (int i = 0; i < 5; ++i) {
    std::fputs(kQuestions[i].prompt, stdout);
    std::fflush(stdout);
    const auto answer = telk::read_answer(stdin, kQuestions[i].name, &error);
    if (!answer) {
      std::fflush(stdout);
      fail(error);
      return kBadInput;
    }
    answers[i] = *answer;
  }
  const float phi_degrees = answers[0], c = answers[1], gamma = answers[2];
  const float height = answers[3], definition = answers[4];

  if (!file.create(&error)) {
    fail(error);
    return kFileFailed;
  }
  const std::string header = telk::header(gamma, phi_degrees, c);
  const bool written =
      file.write(header.data(), header.size(), &error) &&
      telk::sweep(telk::radians(phi_degrees), c, gamma, height, definition,
                  &file, stdout, &error) &&
      file.commit(&error);
  std::fflush(stdout);
  if (!written) {
    fail(error);
    return kFileFailed;
  }
  return 0;
}
