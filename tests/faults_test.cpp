// Faults caused for real: a full disk, a file-size limit, a read-only
// directory, a console that has gone, interrupts, and bad answers at every
// question.  Whatever happens, the old result file stays or the new one is
// whole, and no temporary file is left.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "tests/harness.h"

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
                       "cannot create TELK_result.xls: Read-only file system", true);
}

TEST(Faults, ABrokenConsoleLosesOnlyTheTrace) {
  const std::string answers = "35 1 2.2 125000 0.125";  // a million rows
  const Outcome plain = run(answers);
  ASSERT_EQ(plain.status, 0);
  const std::string telk = "\"$TELK\" < \"$IO/answers\" 2> \"$IO/error\"";
  const std::string broken[] = {
      telk + " >&-",  // standard output closed
      "{ " + telk + "; echo $? > \"$IO/piped\"; } | head -c 10 > /dev/null; "
      "(exit \"$(cat \"$IO/piped\")\")",  // a reader that has gone
  };
  for (const auto& script : broken) {
    const Outcome out = run_script(answers, script);
    EXPECT_EQ(out.status, 0) << script;
    EXPECT_EQ(out.error, "");
    EXPECT_EQ(out.files, "TELK_result.xls ");
    EXPECT_TRUE(out.result == plain.result) << script;
  }
}

TEST(Faults, InterruptsRemoveTheTemporaryFile) {
  for (const auto& [sig, status] : {std::pair{"INT", 130}, {"TERM", 143}, {"HUP", 129}}) {
    const Outcome out = harness::interrupted_run(sig);
    EXPECT_EQ(out.status, status) << sig;
    EXPECT_EQ(out.files, "TELK_result.xls ") << sig;
    EXPECT_EQ(out.result, "old result") << sig;
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
