// telk: asks for the ground's friction angle, cohesion and density, the
// height of the slope and a height step, and writes TELK_result.xls with
// the steepest safe slope angle for factors of safety 1.0, 1.3 and 1.5 at
// every step of height.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/dialogue.h"
#include "driver/one_slope.h"
#include "driver/options.h"
#include "driver/sweep.h"
#include "driver/version.h"
#include "report/check_file.h"
#include "report/layout.h"
#include "output/result_file.h"
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
  telk::wipe_shown_line();
  std::fflush(stdout);
  std::fprintf(stderr, "telk: cannot write %s: out of memory\n", telk::kResultName);
  telk::remove_named_temporaries();
  telk::keep_window_open(stdin, stderr);
  std::exit(kFileFailed);
}

// The usage, on standard output for --help, else on standard error.
constexpr char kUsage[] =
    "usage: telk [--check [GROUND] | --fs PHI C GAMMA H BETA [GROUND]\n"
    "             [--circle XC YC R | --yield] | --version | --help]\n"
    "  GROUND: [--ru R | --water X1,Y1,X2,Y2,... [--gamma-w W]] [--base D]\n"
    "          [--kh K] [--kv V]\n";
constexpr char kHelp[] =
    "  (none)   ask for the ground and the sweep, and write TELK_result.xls\n"
    "  --check  the same, and TELK_check.xls: each of the chart's angles checked\n"
    "           by Bishop's simplified method, and Bishop's own steepest angle\n"
    "  --fs PHI C GAMMA H BETA\n"
    "           the factor of safety of one slope by Bishop's simplified method\n"
    "           (friction angle and slope angle in degrees, cohesion, unit weight\n"
    "           and height in consistent units), and its critical circle\n"
    "  --ru R   a pore-pressure ratio: at a slice's base, R times gamma times\n"
    "           the height of soil above it (0 <= R <= 0.9)\n"
    "  --water X1,Y1,X2,Y2,...\n"
    "           a water table through points (x, y) in multiples of the height,\n"
    "           origin at the toe, x into the slope, y up, each within 1e6; taken\n"
    "           at the ground where it is above it\n"
    "  --gamma-w W\n"
    "           the unit weight of water, in the units of gamma (1 in Tn/m3,\n"
    "           the default where gamma is 4 or less; 9.81 in kN/m3), from a\n"
    "           quarter of gamma to gamma\n"
    "  --base D a firm base D below the toe, in the height's units (0: at the toe)\n"
    "  --kh K, --kv V\n"
    "           an earthquake's pseudo-static load: K times each slice's weight\n"
    "           horizontally out of the slope (0 <= K < 1), and V times it\n"
    "           vertically, upward for V above 0 (-1 < V < 1)\n"
    "  --circle XC YC R\n"
    "           that circle's factor of safety, not the critical one's\n"
    "  --yield  the K at which the factor of safety is 1 (not with --kh)\n";
constexpr int kUsageError = 2;

// The dialogue, the sweep and the result file, and with `check` the check
// file beside it; the exit status.
int run(bool check, telk::GroundOptions options) {
  telk::ResultFile file(telk::kResultName);
  telk::ResultFile check_file(telk::kCheckName);

  telk::Answers answers{};
  std::string error;
  std::optional<telk::SweepPlan> plan;
  if (!telk::ask_answers(stdin, stdout, stderr, &answers, &error) ||
      !(plan = telk::check_sweep(answers, &error)) ||
      !telk::settle_water(answers.density, &options, &error) ||
      !telk::base_within_reach(answers, options, &error)) {
    std::fflush(stdout);
    fail(error);
    return kBadInput;
  }
  // Both files are finished before either takes its old one's place, so
  // that a failure leaves both as they were; then both are put in place in
  // one step, which an interrupt or another run cannot cut in two.  Two
  // names of one file would leave one table: refused before the sweep.
  std::optional<telk::Check> checked;
  bool written = file.create(&error) &&
                 (!check || (check_file.create(&error) && check_file.apart_from(file, &error)));
  telk::TerminalProgress progress(stdout, stderr);
  if (written && check) checked.emplace(answers, check_file.sink(), options, &progress);
  telk::ResultFile* const both[] = {&file, &check_file};
  written = written &&
            telk::sweep(*plan, file.sink(), stdout, &error, checked ? &*checked : nullptr) &&
            file.finish(&error) && (!check || check_file.finish(&error)) &&
            telk::put_in_place(std::span(both, check ? 2 : 1), &error);
  progress.clear();
  std::fflush(stdout);
  if (!written) {
    fail(error);
    return kFileFailed;
  }
  telk::say_written(stdout, stderr, plan->rows(), check);
  if (checked) telk::say_checked(stderr, *checked);
  return 0;
}

// What was printed on standard output reached it, or one line saying why
// not (a full disk or device, a closed pipe) and status 255: a line asked
// for and lost is a failure.
int printed() {
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return 0;
  std::fprintf(stderr, "telk: cannot write to standard output: %s\n", std::strerror(errno));
  return kFileFailed;
}

// telk --fs: one line, or why not.
int one_slope(char** numbers, telk::GroundOptions options) {
  const std::string_view texts[5] = {numbers[0], numbers[1], numbers[2], numbers[3], numbers[4]};
  telk::Ground ground{};
  std::string error;
  if (!telk::parse_slope(texts, options, &ground, &error)) {
    std::fprintf(stderr, "telk: %s\n", error.c_str());
    return kBadInput;
  }
  telk::Bishop bishop{};
  std::string line;
  if (options.circle_given) {
    const double* c = options.circle;
    bishop = telk::given_circle(ground, c[0], c[1], c[2], telk::kCircleRounding);
    if (!(bishop.fs >= 0)) {
      std::fprintf(stderr, "telk: --circle: %s\n", telk::no_slip_circle(c, bishop).c_str());
      return kBadInput;
    }
    error = telk::no_factor_of_safety(bishop.fs);
    if (!error.empty()) error = "--circle: " + error + " along it";
  } else if (options.yield) {
    line = telk::describe_yield(telk::yield_coefficient(ground), &error);
    if (!error.empty()) error.insert(0, "--yield: ");
  } else {
    bishop = telk::critical_circle(ground);
    error = telk::no_factor_of_safety(bishop.fs);
  }
  // A number, or one line that says why there is none.
  if (!error.empty()) {
    std::fprintf(stderr, "telk: %s\n", error.c_str());
    return kBadInput;
  }
  if (!options.yield) line = telk::describe_slope(bishop);
  std::printf("%s\n", line.c_str());
  return printed();
}

// The options after the first `skip` arguments, or the status to end with.
std::optional<int> read_options(int argc, char** argv, int skip, bool for_one_slope,
                                telk::GroundOptions* options) {
  const std::vector<std::string_view> args(argv + skip, argv + argc);
  std::string error;
  switch (telk::read_options(args, for_one_slope, options, &error)) {
    case telk::OptionsRead::kRead:
      return std::nullopt;
    case telk::OptionsRead::kBadValue:
      std::fprintf(stderr, "telk: %s\n", error.c_str());
      return kBadInput;
    case telk::OptionsRead::kUsage:
      // The option that cannot apply, then how the options go.
      std::fprintf(stderr, "telk: %s\n", error.c_str());
      break;
  }
  std::fputs(kUsage, stderr);
  return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
  telk::guard_standard_streams();
  std::set_new_handler(out_of_memory);
  telk::handle_signals();
  const std::string_view first = argc > 1 ? argv[1] : "";
  telk::GroundOptions options;
  if (argc == 1 || first == "--check") {
    const std::optional<int> refused = read_options(argc, argv, argc > 1 ? 2 : 1, false, &options);
    const int status = refused ? *refused : run(argc > 1, options);
    // A window of its own would close before its last line could be read.
    telk::keep_window_open(stdin, stderr);
    return status;
  }
  if (argc >= 7 && first == "--fs") {
    const std::optional<int> refused = read_options(argc, argv, 7, true, &options);
    return refused ? *refused : one_slope(argv + 2, options);
  }
  if (argc == 2 && first == "--version") {
    std::printf("telk %s\n", telk::kVersion);
    return printed();
  }
  if (argc == 2 && first == "--help") {
    std::fputs(kUsage, stdout);
    std::fputs(kHelp, stdout);
    return printed();
  }
  std::fputs(kUsage, stderr);
  return kUsageError;
}
