#include "driver/usage.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/options.h"

using namespace telk;

namespace {

// A value of each kind that the option's rule takes.
std::vector<std::string_view> value_of(const OptionRow& row) {
  switch (row.kind) {
    case OptionValue::kNothing: return {};
    case OptionValue::kNumberList: return {"0,0,1,1"};
    case OptionValue::kThreeNumbers: return {"1", "2", "3"};
    default: return {"0.5"};
  }
}

std::vector<std::string_view> given(std::initializer_list<const OptionRow*> rows) {
  std::vector<std::string_view> args;
  for (const OptionRow* row : rows) {
    args.push_back(row->name);
    for (const std::string_view word : value_of(*row)) args.push_back(word);
  }
  return args;
}

const OptionRow& row_named(std::string_view name) {
  for (const OptionRow& row : kOptionRows) {
    if (row.name == name) return row;
  }
  ADD_FAILURE() << name;
  return kOptionRows.front();
}

}  // namespace

// The reader takes each option of the table as its row says: its value,
// once, in the runs that take it, with the options it needs and none it
// cannot go with; anything else is the usage's, with the line naming it.
TEST(Options, EachIsReadAsItsRowSays) {
  const auto refused = [](const std::vector<std::string_view>& args, bool one_slope,
                          std::string_view option, std::string_view why) {
    GroundOptions options;
    OptionError error;
    EXPECT_EQ(read_options(args, one_slope, &options, &error), OptionsRead::kUsage) << option;
    EXPECT_EQ(error.option, option);
    EXPECT_EQ(error.why.substr(0, why.size()), why) << error.line();
  };
  for (const OptionRow& row : kOptionRows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string_view> args = given({&row});
    bool needs_met = false;  // of several it needs, one is enough
    for (const OptionPair& pair : row.pairs) {
      if (pair.other.empty()) continue;
      const OptionRow& other = row_named(pair.other);
      if (pair.pairing == OptionPairing::kNeeds) {
        if (needs_met) continue;
        refused(args, true, row.name, "given without " + std::string(other.name));
        // With what that one needs in turn.
        args = given({&row, &other});
        for (const OptionPair& next : other.pairs) {
          if (next.pairing == OptionPairing::kNeeds && !next.other.empty())
            args = given({&row, &other, &row_named(next.other)});
        }
        needs_met = true;
      } else {
        refused(given({&row, &other}), true, row.name, "cannot go with " + std::string(other.name));
      }
    }
    GroundOptions options;
    OptionError error;
    EXPECT_EQ(read_options(args, true, &options, &error), OptionsRead::kRead) << error.line();
    EXPECT_EQ(read_options(args, false, &options, &error),
              row.runs == OptionRuns::kFsOnly ? OptionsRead::kUsage : OptionsRead::kRead);
    args.insert(args.end(), args.begin(), args.end());
    refused(args, true, args[0], "given twice");
    if (words_taken(row.kind) > 0) {
      refused({row.name}, true, row.name, words_taken(row.kind) == 1 ? "has no value" : "needs");
    }
  }
}

// Every option of the table is in the usage, --help and the manual page
// that the build made and installs, which the man macros set without a
// warning.
TEST(Usage, NamesEveryOptionAndTheManualPageSetsCleanly) {
  std::ifstream file(TELK_MANUAL, std::ios::binary);
  std::stringstream manual;
  manual << file.rdbuf();
  ASSERT_EQ(manual.str(), manual_page(TELK_VERSION));
  for (const OptionRow& row : kOptionRows) {
    std::string roff = "\\fB";
    for (const char ch : row.name) roff += ch == '-' ? std::string("\\-") : std::string(1, ch);
    const std::string term = std::string(row.name) + (row.value.empty() ? "" : " ") +
                             std::string(row.value);
    EXPECT_NE(usage().find(term), std::string::npos) << term;
    EXPECT_NE(help().find(term), std::string::npos) << term;
    EXPECT_NE(manual.str().find(roff + "\\fR"), std::string::npos) << row.name;
  }
  std::FILE* groff = popen("if command -v groff >/dev/null; then groff -man -ww -z -rCHECKSTYLE=3 "
                           TELK_MANUAL " 2>&1; else echo no groff; fi",
                           "r");
  ASSERT_NE(groff, nullptr);
  std::string said;
  char text[256];
  for (std::size_t n; (n = std::fread(text, 1, sizeof text, groff)) > 0;) said.append(text, n);
  EXPECT_EQ(pclose(groff), 0);
  if (said == "no groff\n") GTEST_SKIP() << "no groff to set the manual page";
  EXPECT_EQ(said, "");
}
