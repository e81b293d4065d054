#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "driver/answers.h"

using namespace telk;

// Answers the five questions from `input`; returns the answers read, then
// the error line if one failed.
static std::string answer_all(const std::string& input) {
  std::FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  const char* names[] = {"friction angle", "cohesion", "density", "height",
                         "definition"};
  std::string said, error;
  for (const char* name : names) {
    const auto value = read_answer(in, name, &error);
    if (!value) {
      said += error;
      break;
    }
    said += std::to_string(*value) + " ";
  }
  std::fclose(in);
  return said;
}

TEST(ReadAnswer, TakesWholeNumbersAndNamesWhatIsNot) {
  const struct { std::string input, said; } cases[] = {
      {"35\n1 2.2\t20\n\n+2.5", "35.000000 1.000000 2.200000 20.000000 2.500000 "},
      {"1e1 -3 1e-50 inf nan", "10.000000 -3.000000 0.000000 inf nan "},
      {"3,5\n", "friction angle: \"3,5\" is not a number (type it with a decimal point)"},
      {"35 abc", "35.000000 cohesion: \"abc\" is not a number"},
      {"35 1 35m", "35.000000 1.000000 density: \"35m\" is not a number"},
      {"1e39", "friction angle: \"1e39\" is beyond the range of single-precision numbers"},
      {std::string("1 2 3 4\0 ", 9), "1.000000 2.000000 3.000000 height: \"4\\x00\" is not a number"},
      {"\"\\\x01", "friction angle: \"\\\"\\\\\\x01\" is not a number"},
      {"35 1 2.2 20\n\n", "35.000000 1.000000 2.200000 20.000000 input ended before the definition was given"},
      {std::string(5000, '7'), "friction angle: \"" + std::string(40, '7') +
                                   "...\" is too long to be a number"},
  };
  for (const auto& c : cases) EXPECT_EQ(answer_all(c.input), c.said);
}

// A field holds one answer: white space around it is the console's, and
// anything else makes the whole field not a number, in the console's words.
TEST(FieldAnswer, TakesOneWholeNumberAndSaysWhatTheConsoleWould) {
  const struct { std::string field, said; } cases[] = {
      {" \t2.5\r\n", "2.500000"},
      {"-1e1", "-10.000000"},
      {"3,5", "height: \"3,5\" is not a number (type it with a decimal point)"},
      {"3 5", "height: \"3 5\" is not a number"},
      {"  ", "height: \"\" is not a number"},
      {"1e39", "height: \"1e39\" is beyond the range of single-precision numbers"},
      {"0." + std::string(4093, '0') + "1", "0.000000"},  // 4096 characters: still read
      {std::string(4097, '7'), "height: \"" + std::string(40, '7') + "...\" is too long to be a number"},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto value = field_answer(c.field, "height", &error);
    EXPECT_EQ(value ? std::to_string(*value) : error, c.said);
  }
}
