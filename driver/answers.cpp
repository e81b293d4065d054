#include "driver/answers.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace telk {

namespace {

bool is_space(int ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' ||
         ch == '\r';
}

// What was typed, as one printable line: quotes and backslashes escaped,
// other bytes outside printable ASCII as \xHH, long answers shortened.
std::string quoted(std::string_view token) {
  constexpr std::size_t kShown = 40;
  static const char kHex[] = "0123456789abcdef";
  std::string q = "\"";
  for (std::size_t i = 0; i < token.size() && i < kShown; ++i) {
    const auto ch = static_cast<unsigned char>(token[i]);
    if (ch == '"' || ch == '\\') {
      q += '\\';
      q += static_cast<char>(ch);
    } else if (ch >= 0x20 && ch < 0x7F) {
      q += static_cast<char>(ch);
    } else {
      q += "\\x";
      q += kHex[ch >> 4];
      q += kHex[ch & 0xF];
    }
  }
  if (token.size() > kShown) q += "...";
  return q + "\"";
}

}  // namespace

Token read_token(std::FILE* in, std::string* token) {
  token->clear();
  int ch = std::fgetc(in);
  while (ch != EOF && is_space(ch)) ch = std::fgetc(in);
  while (ch != EOF && !is_space(ch)) {
    if (token->size() == kAnswerMax) return Token::kTooLong;
    token->push_back(static_cast<char>(ch));
    ch = std::fgetc(in);
  }
  if (std::ferror(in) != 0) return Token::kFailed;
  return token->empty() ? Token::kEnded : Token::kRead;
}

Parse parse_number(std::string_view token, float* value) {
  if (token.empty() || token.size() > kAnswerMax) return Parse::kNotANumber;
  const std::string text(token);  // strtof needs the terminating NUL
  char* end = nullptr;
  errno = 0;
  const float read = std::strtof(text.c_str(), &end);
  // Leading white space and embedded NULs would let strtof stop early.
  if (end != text.c_str() + text.size() || is_space(text[0]))
    return Parse::kNotANumber;
  // ERANGE with an infinity is overflow; on underflow strtof returns the
  // tiny or zero value, which is what was meant.
  if (errno == ERANGE && std::isinf(read)) return Parse::kOutOfRange;
  *value = read;
  return Parse::kNumber;
}

std::optional<float> read_answer(std::FILE* in, const char* question,
                                 std::string* error) {
  std::string token;
  switch (read_token(in, &token)) {
    case Token::kFailed: {
      // Standard input that cannot be read (a directory, a broken device)
      // is not input that ended.
      const char* reason = std::strerror(errno);
      *error = std::string("cannot read the ") + question + ": " + reason;
      return std::nullopt;
    }
    case Token::kEnded:
      *error = std::string("input ended before the ") + question + " was given";
      return std::nullopt;
    case Token::kTooLong:
      *error = std::string(question) + ": " + quoted(token) +
               " is too long to be a number";
      return std::nullopt;
    case Token::kRead:
      break;
  }
  float value = 0.0f;
  switch (parse_number(token, &value)) {
    case Parse::kNumber:
      return value;
    case Parse::kOutOfRange:
      *error = std::string(question) + ": " + quoted(token) +
               " is beyond the range of single-precision numbers";
      return std::nullopt;
    case Parse::kNotANumber:
      break;
  }
  *error = std::string(question) + ": " + quoted(token) + " is not a number";
  if (token.find(',') != std::string::npos)
    *error += " (type it with a decimal point)";
  return std::nullopt;
}

}  // namespace telk
