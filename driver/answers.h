// Reading the answers to the five questions: one whitespace-separated
// token each, which must be a number as strtof reads it, whole.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace telk {

// Longest answer kept; no number a person types comes near it.
inline constexpr std::size_t kAnswerMax = 4096;

enum class Token { kRead, kTooLong, kEnded, kFailed };

// Skips white space, then reads up to the next white space or the end of
// input.  The white space after the token is consumed, nothing beyond it.
// On kFailed (a read error) errno holds the system's reason.
Token read_token(std::FILE* in, std::string* token);

enum class Parse { kNumber, kNotANumber, kOutOfRange };

// The token as a float, in the C locale: "35", "2.5", "1e1", "inf", "nan".
// Text that is not wholly a number ("3,5", "35m") or lies beyond the float
// range ("1e39") leaves *value alone.
Parse parse_number(std::string_view token, float* value);

// One question and answer: on failure *error is the line to show, naming
// the question and what was typed.
std::optional<float> read_answer(std::FILE* in, const char* question,
                                 std::string* error);

}  // namespace telk
