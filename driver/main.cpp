// telk: asks for the ground's friction angle, cohesion and density, the
// height of the slope and a height step, and writes TELK_result.xls with
// the steepest safe slope angle for factors of safety 1.0, 1.3 and 1.5 at
// every step of height.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
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
#include "driver/usage.h"
#include "driver/version.h"
#include "report/check_file.h"
#include "report/layout.h"
#include "output/result_file.h"
#include "system/platform.h"
#include "system/workers.h"

namespace {

// Exit statuses.  -1 is what the C library's close returns on failure; the
// system shows it as 255 on POSIX and as -1 on Windows.
constexpr int kBadInput = 1;
constexpr int kUsageError = 2;  // with the usage on standard error
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

// The dialogue, the sweep and the result file, and with `check` the check
// file beside it; the exit status.
int run(bool check, telk::GroundOptions options) {
  telk::ResultFile file(telk::kResultName);
  telk::ResultFile check_file(telk::kCheckName);

  telk::Answers answers{};
  std::string error;
  telk::OptionError option_error;
  std::optional<telk::SweepPlan> plan;
  if (!telk::ask_answers(stdin, stdout, stderr, &answers, &error) ||
      !(plan = telk::check_sweep(answers, &error)) ||
      !telk::settle_water(answers.density, &options, &option_error) ||
      !telk::base_within_reach(answers, options, &option_error)) {
    std::fflush(stdout);
    fail(error.empty() ? option_error.line() : error);
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
  // Every core solves the check's slopes: TELK_THREADS, where given, says
  // how many threads.
  std::optional<telk::Workers> workers;
  if (written && check) {
    workers.emplace(telk::thread_count(std::getenv("TELK_THREADS")));
    const auto run_each = [&workers](std::size_t n, const std::function<void(std::size_t)>& task) {
      workers->run_each(n, task);
    };
    checked.emplace(answers, check_file.sink(), options, &progress, run_each, workers->threads());
  }
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
  telk::SlipAnswer bishop{};
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
  telk::OptionError error;
  const telk::OptionsRead read = telk::read_options(args, for_one_slope, options, &error);
  if (read == telk::OptionsRead::kRead) return std::nullopt;
  std::fprintf(stderr, "telk: %s\n", error.line().c_str());
  if (read == telk::OptionsRead::kBadValue) return kBadInput;
  // The option that cannot apply, then how the options go.
  std::fputs(telk::usage().c_str(), stderr);
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
    std::fputs(telk::help().c_str(), stdout);
    return printed();
  }
  std::fputs(telk::usage().c_str(), stderr);
  return kUsageError;
}
