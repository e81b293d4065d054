// Reading the answers to the five questions: one whitespace-separated
// token each, which must be a number as strtof reads it, whole.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace telk {

// The five answers of a run, as typed.
struct Answers {
  float friction_angle;  // degrees
  float cohesion;        // Tn/m2
  float density;         // the unit weight, Tn/m3
  float height;          // m, of the whole slope
  float definition;      // m, the height step between rows
};

// The five questions in the order they are asked: the console's prompt,
// the name error lines give each, and the answer it fills.  The later
// prompts begin with a line end: with the one the user typed, they leave
// an empty line between questions.
struct Question {
  const char* prompt;
  const char* name;
  float Answers::*answer;
};
inline constexpr Question kQuestions[] = {
    {"\tFriction angle \t\t[degree] :", "friction angle", &Answers::friction_angle},
    {"\n\tCohesion \t\t[Tn/m2]\t:", "cohesion", &Answers::cohesion},
    {"\n\tDensity  \t\t[Tn/m3]\t:", "density", &Answers::density},
    {"\n\tHeight of the talus \t  [m]\t:", "height", &Answers::height},
    {"\n\tDefinition \t\t  [m]\t:", "definition", &Answers::definition},
};

// Longest answer kept; no number a person types comes near it.
inline constexpr std::size_t kAnswerMax = 4096;

enum class Token { kRead, kTooLong, kEnded, kFailed };

// Skips white space, then reads up to the next white space or the end of
// input.  The white space after the token is left unread.  On kFailed (a
// read error) errno holds the system's reason.
Token read_token(std::FILE* in, std::string* token);

// Drops the rest of the current line, its line end included.
void skip_line(std::FILE* in);

enum class Parse { kNumber, kNotANumber, kOutOfRange };

// The token as a float, in the C locale: "35", "2.5", "1e1", "inf", "nan".
// Text that is not wholly a number ("3,5", "35m") or lies beyond the float
// range ("1e39") leaves *value alone.
Parse parse_number(std::string_view token, float* value);
// The same in double precision, as strtod reads it.
Parse parse_number(std::string_view token, double* value);

// What was typed, as one printable line for an error line: in quotes,
// quotes and backslashes escaped, other bytes outside printable ASCII as
// \xHH, and anything beyond 40 bytes shortened to "...".
std::string as_typed(std::string_view token);

// One question and answer: on failure *error is the line to show, naming
// the question and what was typed.
std::optional<float> read_answer(std::FILE* in, const char* question,
                                 std::string* error);

// An answer typed in a field of its own, as a page asks: white space
// around it is ignored, and the rest must be one number as the console
// reads one, or *error is the console's line for it ("3 5" is not a
// number, where the console would read 3 and take 5 as the next answer).
std::optional<float> field_answer(std::string_view field, const char* question,
                                  std::string* error);
// The same in double precision, for numbers that are not the chart's.
std::optional<double> field_answer_double(std::string_view field, const char* question,
                                          std::string* error);
// A number of an option's, typed as an answer is (white space and all),
// in double precision: *why, when it is none, is the rest of the line
// after the option's name ("\"3,5\" is not a number (type it with a
// decimal point)").
std::optional<double> option_number(std::string_view typed, std::string* why);

}  // namespace telk
