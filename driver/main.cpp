// telk: asks for the ground's friction angle, cohesion and density, the
// height of the slope and a height step, and writes TELK_result.xls with
// the steepest safe slope angle for factors of safety 1.0, 1.3 and 1.5 at
// every step of height.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "driver/dialogue.h"
#include "driver/sweep.h"
#include "driver/version.h"
#include "report/layout.h"
#include "report/result_file.h"
#include "system/platform.h"

namespace {

// Exit statuses.  -1 is what the C library's close returns on failure; the
// system shows it as 255 on POSIX and as -1 on Windows.
constexpr int kBadInput = 1;
constexpr int kFileFailed = -1;

void fail(const std::string& line) {
  telk::say_last(stdout, stderr, line);
}

// Without memory for its buffers the run fails as an unwritable file
// does: one line, no temporary file left, status 255.  Called where an
// allocation fails, it asks for no memory itself, and throws nothing that
// would need some.
[[noreturn]] void out_of_memory() {
  std::fflush(stdout);
  std::fprintf(stderr, "telk: cannot write %s: out of memory\n", telk::kResultName);
  telk::remove_named_temporaries();
  std::exit(kFileFailed);
}

// telk --version and --help answer and stop; any other argument is a
// mistake.  Without arguments telk asks for the answers.  Returns -1 to go on.
int arguments(int argc, char** argv) {
  if (argc < 2) return -1;
  const std::string arg = argv[1];
  if (argc == 2 && arg == "--version") {
    std::printf("telk %s\n", telk::kVersion);
    return 0;
  }
  const bool help = argc == 2 && arg == "--help";
  std::fputs("usage: telk [--version | --help]; with neither, telk asks for the answers\n",
             help ? stdout : stderr);
  return help ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int status = arguments(argc, argv); status >= 0) return status;
  telk::guard_standard_streams();
  std::set_new_handler(out_of_memory);
  telk::handle_signals();
  telk::ResultFile file(telk::kResultName);

  telk::Answers answers{};
  std::string error;
  std::optional<telk::SweepPlan> plan;
  if (!telk::ask_answers(stdin, stdout, stderr, &answers, &error) ||
      !(plan = telk::check_sweep(answers, &error))) {
    std::fflush(stdout);
    fail(error);
    return kBadInput;
  }
  const bool written = file.create(&error) &&
                       telk::sweep(*plan, file.sink(), stdout, &error) &&
                       file.commit(&error);
  std::fflush(stdout);
  if (!written) {
    fail(error);
    return kFileFailed;
  }
  telk::say_written(stdout, stderr, plan->rows());
  return 0;
}
