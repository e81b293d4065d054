// Faults caused for real: a full disk, a file-size limit, a read-only
// directory, too little memory, a console that has gone, interrupts and
// kills at any moment, bad answers at every question, and result files
// with their own permissions, links and owners.  Whatever happens, the old
// result file stays or the new one is whole, and no temporary file is left.
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/harness.h"
#include "tests/sizes.h"

using harness::Outcome;
using harness::run;
using harness::run_script;

namespace {

const char kOld[] = "printf 'old result' > TELK_result.xls && ";
const char kManyRows[] = "35 1 2.2 25000 0.125";  // 200000 rows, 11 MB

bool can_mount() {
  return std::system("unshare -m sh -c 'mount -t tmpfs tmpfs /tmp' 2>/dev/null") == 0;
}

// A large run over an old result file that fails to write it, after the
// commands in `prefix`: the reason is said and the old file kept.
void expect_write_failure(const std::string& prefix, const std::string& error,
                          bool private_mounts) {
  const Outcome out = run_script(kManyRows, prefix + "\"$TELK\" < \"$IO/answers\" > /dev/null 2> \"$IO/error\"",
                                 private_mounts);
  EXPECT_EQ(out.status, 255) << error;
  EXPECT_EQ(out.error, "telk: " + error + "\n");
  EXPECT_EQ(out.files, "TELK_result.xls ") << error;
  EXPECT_EQ(out.result, "old result") << error;
}

}  // namespace

TEST(Faults, AFileSizeLimitKeepsTheOldFile) {
  expect_write_failure(std::string("ulimit -f 40 && ") + kOld,
                       "cannot write TELK_result.xls: File too large", false);
}

// Small and read-only file systems, mounted in a namespace of the test's
// own where the system allows it.
TEST(Faults, AFullOrReadOnlyDiskKeepsTheOldFile) {
  if (!can_mount()) GTEST_SKIP() << "no tmpfs can be mounted here";
  const std::string tmpfs = "mount -t tmpfs -o size=64k tmpfs . && cd . && " + std::string(kOld);
  expect_write_failure(tmpfs, "cannot write TELK_result.xls: No space left on device", true);
  expect_write_failure(tmpfs + "mount -o remount,ro . && ",
                       "cannot replace TELK_result.xls: Read-only file system", true);
}

// A run loses only its trace; a line asked for on standard output alone
// (the version, the usage) is lost, and telk says so and fails.
TEST(Faults, ABrokenConsoleLosesOnlyTheTrace) {
  const std::string answers = "35 1 2.2 125000 0.125";  // a million rows
  const Outcome plain = run(answers);
  ASSERT_EQ(plain.status, 0);
  const std::string telk = "\"$TELK\" < \"$IO/answers\" 2> \"$IO/error\"";
  const std::string full = "telk: cannot write to standard output: No space left on device\n";
  const struct {
    std::string script;
    int status;
    std::string error;
  } broken[] = {
      {telk + " >&-", 0, ""},  // standard output closed
      {"{ " + telk + "; echo $? > \"$IO/piped\"; } | head -c 10 > /dev/null; "
       "(exit \"$(cat \"$IO/piped\")\")", 0, ""},  // a reader that has gone
      {telk + " > /dev/full", 0, ""},  // a full device
      {telk + " --version > /dev/full", 255, full},
      {telk + " --help > /dev/full", 255, full},
  };
  for (const auto& b : broken) {
    const Outcome out = run_script(answers, b.script);
    const bool swept = b.script.find("--") == std::string::npos;
    EXPECT_EQ(out.status, b.status) << b.script;
    EXPECT_EQ(out.error, b.error) << b.script;
    EXPECT_EQ(out.files, swept ? "TELK_result.xls " : "") << b.script;
    EXPECT_TRUE(out.result == (swept ? plain.result : "")) << b.script;
  }
}

TEST(Faults, TooLittleMemoryIsOneLine) {
  if (sizes::kSanitized) GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit leaves";
  // Every limit on address space, in steps of 128 KiB, from the least in
  // which telk gets as far as its questions to the first in which it
  // finishes: each run says one line and leaves the old file alone.
  const Outcome out = run_script(kManyRows,
      "for kib in $(seq 2048 128 65536); do printf 'old result' > TELK_result.xls; "
      "(ulimit -v $kib; exec \"$TELK\" < \"$IO/answers\" > \"$IO/trace\" 2> \"$IO/said\"); "
      "status=$?; [ -s \"$IO/trace\" ] || continue; [ $status = 0 ] && break; "
      "echo \"$kib KiB: $status $(cat \"$IO/said\")|$(ls -A | tr '\\n' ' ')$(cat TELK_result.xls)\" "
      ">> \"$IO/console\"; done; rm \"$IO/trace\"; (exit $status)");
  EXPECT_EQ(out.status, 0);
  std::istringstream lines(out.console);
  int limits = 0;
  for (std::string line; std::getline(lines, line); ++limits) {
    EXPECT_EQ(line.substr(line.find(" KiB")),
              " KiB: 255 telk: cannot write TELK_result.xls: out of memory|TELK_result.xls old result");
  }
  EXPECT_GT(limits, 0);
}

// While it sweeps, only the main thread takes the signals that end a run,
// and the writer threads (two a file) block them all their lives: there a
// handler would end the run in the middle of the main thread's held step.
// The check's workers start as the writers do, and only once it solves
// slopes: this dry check, off the table, on three threads, starts none.
TEST(Faults, InterruptsRemoveTheTemporaryFile) {
  const unsigned long long ending = 1ULL << (SIGHUP - 1) | 1ULL << (SIGINT - 1) |
                                    1ULL << (SIGQUIT - 1) | 1ULL << (SIGTERM - 1);
  setenv("TELK_THREADS", "3", 1);
  for (const auto& [sig, status, args, others_started] :
       {std::tuple{"INT", 130, "--check", 4}, {"TERM", 143, "", 2}, {"HUP", 129, "", 2},
        {"KILL", 137, "", 2}}) {
    const Outcome out = harness::interrupted_run(sig, args);
    EXPECT_EQ(out.status, status) << sig;
    EXPECT_EQ(out.files, "TELK_result.xls ") << sig;
    EXPECT_TRUE(out.result == "old result") << sig;  // not the whole new file if it fails
    std::istringstream threads(out.console);
    int others = 0;
    for (std::string who, mask; threads >> who >> mask;) {
      const unsigned long long blocked = std::stoull(mask, nullptr, 16) & ending;
      EXPECT_EQ(blocked, who == "main" ? 0 : ending) << sig << " " << who << " " << mask;
      others += who == "main" ? 0 : 1;
    }
    EXPECT_EQ(others, others_started) << sig << " " << out.console;
  }
}

TEST(Faults, BadAnswersAtEveryQuestionTouchNothing) {
  const char* names[] = {"friction angle", "cohesion", "density", "height", "definition"};
  const std::string bad[] = {"abc", "3,5", "\n\n", "", std::string(1 << 20, '9'),
                             std::string("1\0" "2", 3), "1e39"};
  const char* good[] = {"35", "1", "2.2", "20", "2.5"};
  for (int q = 0; q < 5; ++q) {
    std::string answers;
    for (int i = 0; i < q; ++i) answers += std::string(good[i]) + "\n";
    for (const auto& token : bad) {
      const Outcome out = run(answers + token, kOld);
      EXPECT_EQ(out.status, 1) << names[q];
      EXPECT_EQ(out.error.rfind("telk: ", 0), 0u) << out.error;
      EXPECT_NE(out.error.find(names[q]), std::string::npos) << out.error;
      EXPECT_EQ(out.error.find('\n'), out.error.size() - 1) << out.error;
      EXPECT_EQ(out.files + out.result, "TELK_result.xls old result");
    }
  }
}

TEST(Faults, NonsenseNumbersKeepTheirMeaning) {
  const char* good[] = {"35", "1", "2.2", "20", "2.5"};
  for (int q = 0; q < 5; ++q) {
    for (const char* value : {"-3", "0", "inf", "-inf", "nan"}) {
      std::string answers;
      for (int i = 0; i < 5; ++i) answers += std::string(i == q ? value : good[i]) + " ";
      const Outcome out = run(answers, "timeout 60 ");
      EXPECT_EQ(out.status, 0) << answers;
      EXPECT_EQ(out.error, "") << answers;
      EXPECT_EQ(out.result.rfind("Par\xE0" "metres\tdensitat\t", 0), 0u) << answers;
    }
  }
}

// The steps of putting both files in place, widened or failed by strace:
// an interrupt at any of them leaves both files new or both old, and no
// temporary file; a failed rename or directory sync says so.
TEST(Faults, BothFilesStandFromOneStep) {
  if (!harness::can_trace()) GTEST_SKIP() << "strace cannot trace here";
  const std::string result = harness::slurp(TELK_EXPECTED_DIR "/phi35_h20_d2.5.xls");
  const std::string check = harness::slurp(TELK_EXPECTED_DIR "/phi35_h20_d2.5.check.xls");
  const std::string named = "ls | grep -q 'tmp$'";
  const std::string renamed = "! grep -q '^old' TELK_result.xls";
  const struct {
    const char* what;
    std::string options, signal, moment;
    int status;
    const char* error;
    bool new_result, new_check;
  } cases[] = {
      // The result's new file named but not yet known to the handlers.
      {"naming", "-e inject=linkat:delay_exit=300000:when=1..2", "INT", named, 130, "", false, false},
      // Between the two renames.
      {"renaming", "-e inject=rename:delay_exit=300000:when=1", "INT", renamed, 130, "", true, true},
      {"renaming", "-e inject=rename:delay_exit=300000:when=1", "TERM", renamed, 143, "", true, true},
      // A result file that cannot take its old one's place: both stand
      // old.  A check file that cannot: the result stands new beside the
      // old check file, and the line says so.
      {"failed first rename", "-e inject=rename:error=EBUSY:when=1", "", "", 255,
       "telk: cannot replace TELK_result.xls: Device or resource busy\n", false, false},
      {"failed rename", "-e inject=rename:error=EBUSY:when=2", "", "", 255,
       "telk: cannot replace TELK_check.xls: Device or resource busy; the new TELK_result.xls is"
       " in place beside the old TELK_check.xls\n", true, false},
      // The third sync, the directory's, after the two files'.
      {"failed directory sync", "-e inject=fsync:error=EIO:when=3", "", "", 255,
       "telk: the new TELK_result.xls and TELK_check.xls are in place but may not survive a "
       "power cut: cannot sync the working directory: Input/output error\n", true, true},
  };
  for (const auto& c : cases) {
    const Outcome out = harness::traced_run(c.options, c.signal, c.moment);
    const std::string which = std::string(c.what) + " " + c.signal;
    EXPECT_EQ(out.status, c.status) << which;
    EXPECT_EQ(out.error, c.error) << which;
    EXPECT_EQ(out.files, "TELK_check.xls TELK_result.xls ") << which;
    EXPECT_TRUE(out.result == (c.new_result ? result : "old result")) << which;
    EXPECT_TRUE(out.check == (c.new_check ? check : "old check")) << which;
  }
}

// Checked runs, 20 a round, of friction angles 20 to 39 degrees, started
// together in one directory: whichever puts its files in place last, the
// two must be its own, the same angle in both headers.  strace, where it
// can trace, widens each run's step by up to 50 ms after its first rename,
// a different time each, as a slow disk might.
TEST(Faults, RunsAtOnceLeaveAPairFromOneRun) {
  constexpr int kRounds = sizes::cases(8, 3);
  const std::string widen =
      harness::can_trace() ? harness::traced("-e inject=rename:delay_exit=$((RANDOM % 50000 + 1)):when=1") : "";
  const Outcome out = run_script("",
      "mkfifo \"$IO/never\"; exec 9<> \"$IO/never\"\n"
      "for round in $(seq " + std::to_string(kRounds) + "); do\n"
      "  start=${EPOCHREALTIME/[.,]/}\n"
      "  for k in $(seq 20); do (\n"
      "    wait=$((start + 300000 - ${EPOCHREALTIME/[.,]/}))\n"
      "    ((wait > 0)) && read -t 0.$(printf %06d $wait) -u 9\n"
      "    echo \"$((19 + k)) 1 2.2 20 2.5\" | " + widen + "\"$TELK\" --check > /dev/null 2>> \"$IO/error\"\n"
      "  ) & done; wait\n"
      "  echo \"$(sed -n 2p TELK_result.xls)|$(sed -n 2p TELK_check.xls)\" >> \"$IO/console\"\n"
      "done; rm \"$IO/never\"");
  EXPECT_EQ(out.error, "");
  EXPECT_EQ(out.files, "TELK_check.xls TELK_result.xls ");
  std::istringstream lines(out.console);
  int rounds = 0;
  for (std::string line; std::getline(lines, line); ++rounds) {
    const std::size_t bar = line.find('|');
    EXPECT_NE(line.find("\tAngle\t"), std::string::npos) << line;
    EXPECT_EQ(line.substr(0, bar), line.substr(bar + 1)) << "round " << rounds;
  }
  EXPECT_EQ(rounds, kRounds);
}

// Every signal whose default action ends a process and that can be
// caught, by number; SIGPIPE and SIGXFSZ become write errors instead.
std::string ending_signals(int* count) {
  std::string list;
  *count = 0;
  const auto add = [&](int sig) { list += std::to_string(sig) + " ", ++*count; };
  for (const int sig : {SIGHUP, SIGINT, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE,
                        SIGUSR1, SIGSEGV, SIGUSR2, SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU,
                        SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR, SIGSYS})
    add(sig);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) add(sig);
  return list;
}

TEST(Faults, SignalsAtAnyMomentLeaveOneWholeFile) {
  constexpr int kRunsEach = sizes::cases(4, 2);  // each signal piped and typed, at least
  int signals = 0;
  const Outcome out = harness::interrupt_storm(ending_signals(&signals), kRunsEach);
  std::istringstream lines(out.console);
  std::map<std::string, int> seen;
  int runs = 0;
  for (std::string line; std::getline(lines, line); ++runs) {
    std::istringstream fields(line);
    int sig = 0, status = 0;
    std::string held, rest;
    fields >> sig >> status >> held;
    std::getline(fields, rest);
    const bool killed = status == 128 + sig;
    EXPECT_TRUE(killed ? held == "old" || held == "new" : status == 0 && held == "new") << line;
    EXPECT_EQ(rest, " TELK_result.xls ") << line;  // nothing stray, no error line
    ++seen[(killed ? "killed, " : "finished, ") + held + " file"];
  }
  EXPECT_EQ(runs, kRunsEach * signals);
  EXPECT_GT(seen["killed, old file"], 0);
  EXPECT_GT(seen["finished, new file"] + seen["killed, new file"], 0);
  for (const auto& [what, n] : seen) std::cout << "[   INFO   ] " << n << " runs " << what << "\n";
}

TEST(Faults, TheNewFileKeepsPermissionsOwnerAndLinks) {
  if (!harness::can_run_as_user()) GTEST_SKIP() << "cannot run as a user without privileges";
  const bool root = geteuid() == 0;
  const std::string ids = root ? "65534:65534" : std::to_string(getuid()) + ":" + std::to_string(getgid());
  const std::string answers = "35 1 2.2 20 2.5";
  const std::string written = harness::slurp(TELK_EXPECTED_DIR "/phi35_h20_d2.5.xls");
  const std::string old = "printf 'old result' > TELK_result.xls && chmod ";
  const std::string file = "TELK_result.xls ";
  const std::string link = "TELK_result.xls 777 " + ids + " symbolic link\n";
  const std::string real = "../shared/real.xls ";
  const std::string mode_of = " " + ids + " regular file\n";
  // Each as the user (as root where `by_root`), under `umask`; `after` is
  // what is left, with permission bits, owner and group.
  const struct {
    bool by_root;
    const char* umask;
    std::string setup;
    int status;
    std::string error, after;
  } cases[] = {
      {false, "022", old + "600 TELK_result.xls && ", 0, "", file + "600" + mode_of},
      {false, "022", old + "644 TELK_result.xls && ", 0, "", file + "644" + mode_of},
      {false, "022", old + "444 TELK_result.xls && ", 255,
       "cannot replace TELK_result.xls: Permission denied", file + "444" + mode_of},
      {false, "077", old + "600 TELK_result.xls && ", 0, "", file + "600" + mode_of},
      {false, "077", old + "644 TELK_result.xls && ", 0, "", file + "644" + mode_of},
      {false, "077", old + "444 TELK_result.xls && ", 255,
       "cannot replace TELK_result.xls: Permission denied", file + "444" + mode_of},
      {false, "022", "", 0, "", file + "644" + mode_of},  // a new file
      {false, "077", "", 0, "", file + "600" + mode_of},
      {false, "022", "printf 'old result' > ../shared/real.xls && chmod 640 ../shared/real.xls && "
                     "ln -s ../shared/real.xls TELK_result.xls && ", 0, "", link + real + "640" + mode_of},
      {false, "022", "ln -s ../shared/real.xls TELK_result.xls && ", 255,
       "cannot replace TELK_result.xls: it links to ../shared/real.xls, which does not exist", link},
      {false, "022", "ln -s /dev/null TELK_result.xls && ", 255,
       "cannot replace TELK_result.xls: it is not a regular file", link},
      {false, "022", old + "644 TELK_result.xls && chmod 555 . && ", 255,
       "cannot write in the working directory to replace TELK_result.xls: Permission denied",
       file + "644" + mode_of},
      // Root keeps another user's file theirs, and may replace a read-only one.
      {true, "022", old + "640 TELK_result.xls && ", 0, "", file + "640" + mode_of},
      {true, "022", old + "444 TELK_result.xls && ", 0, "", file + "444" + mode_of},
      // Set-id and sticky bits too, which a change of owner, or a write
      // without the privilege, clears (`late`: set once the file has its
      // owner, for that reason).
      {false, "022", old + "644 TELK_result.xls && late=6775 && ", 0, "", file + "6775" + mode_of},
      {true, "022", old + "644 TELK_result.xls && late=7775 && ", 0, "", file + "7775" + mode_of},
  };
  for (const auto& c : cases) {
    if (c.by_root && !root) continue;
    const Outcome out = run_script(answers,
        harness::kOpenToUser + "mkdir ../shared && " + c.setup +
        (root ? "chown -hR 65534:65534 . ../shared && " : "") +
        "{ [ -z \"$late\" ] || chmod $late TELK_result.xls; } && "
        "(umask " + c.umask + "; " + (c.by_root ? "" : harness::as_user()) +
        "\"$IO/telk\" < \"$IO/answers\" > /dev/null 2> \"$IO/error\"); status=$?; chmod 755 .; "
        "for f in TELK_result.xls ../shared/*; do [ -e \"$f\" ] || [ -L \"$f\" ] && "
        "stat -c '%n %a %u:%g %F' \"$f\"; done > \"$IO/console\"; (exit $status)");
    const std::string which = c.setup + " umask " + c.umask;
    EXPECT_EQ(out.status, c.status) << which;
    EXPECT_EQ(out.error, c.error.empty() ? "" : "telk: " + c.error + "\n") << which;
    EXPECT_EQ(out.console, c.after) << which;
    EXPECT_EQ(out.files, "TELK_result.xls ") << which;
    const bool had_old = c.setup.find("printf") != std::string::npos;
    if (c.status == 0 || had_old) {
      EXPECT_TRUE(out.result == (c.status == 0 ? written : "old result")) << which;
    }
  }
}
