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

}  // namespace

std::string as_typed(std::string_view token) {
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
  // Left for skip_line() to tell whether the line has ended.
  if (ch != EOF) std::ungetc(ch, in);
  return token->empty() ? Token::kEnded : Token::kRead;
}

void skip_line(std::FILE* in) {
  int ch = std::fgetc(in);
  while (ch != EOF && ch != '\n') ch = std::fgetc(in);
}

namespace {

float read_as(const char* text, char** end, float*) { return std::strtof(text, end); }
double read_as(const char* text, char** end, double*) { return std::strtod(text, end); }

template <typename Number>
Parse parse_as(std::string_view token, Number* value) {
  if (token.empty() || token.size() > kAnswerMax) return Parse::kNotANumber;
  const std::string text(token);  // strtof needs the terminating NUL
  char* end = nullptr;
  errno = 0;
  const Number read = read_as(text.c_str(), &end, value);
  // Leading white space and embedded NULs would let strtof stop early.
  if (end != text.c_str() + text.size() || is_space(text[0]))
    return Parse::kNotANumber;
  // ERANGE with an infinity is overflow; on underflow strtof returns the
  // tiny or zero value, which is what was meant.
  if (errno == ERANGE && std::isinf(read)) return Parse::kOutOfRange;
  *value = read;
  return Parse::kNumber;
}

}  // namespace

Parse parse_number(std::string_view token, float* value) { return parse_as(token, value); }
Parse parse_number(std::string_view token, double* value) { return parse_as(token, value); }

namespace {

// `what` about the answer `token` to `question`, as the line to show;
// without a question, the line's rest after the name of what it is about.
std::string about(const char* question, std::string_view token, const char* what) {
  const std::string line = as_typed(token) + " " + what;
  return question != nullptr ? std::string(question) + ": " + line : line;
}

constexpr char kTooLong[] = "is too long to be a number";

// The whole of `token` as the answer to `question`, or the line to show.
template <typename Number>
std::optional<Number> answer_number(std::string_view token, const char* question,
                                    std::string* error) {
  if (token.size() > kAnswerMax) {
    *error = about(question, token, kTooLong);
    return std::nullopt;
  }
  Number value = 0;
  switch (parse_number(token, &value)) {
    case Parse::kNumber:
      return value;
    case Parse::kOutOfRange:
      *error = about(question, token,
                     sizeof(Number) == sizeof(float)
                         ? "is beyond the range of single-precision numbers"
                         : "is beyond the range of double-precision numbers");
      return std::nullopt;
    case Parse::kNotANumber:
      break;
  }
  *error = about(question, token, "is not a number");
  if (token.find(',') != std::string_view::npos) *error += " (type it with a decimal point)";
  return std::nullopt;
}

std::string_view trimmed(std::string_view field) {
  while (!field.empty() && is_space(static_cast<unsigned char>(field.front())))
    field.remove_prefix(1);
  while (!field.empty() && is_space(static_cast<unsigned char>(field.back())))
    field.remove_suffix(1);
  return field;
}

}  // namespace

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
    case Token::kTooLong:  // token holds only the first kAnswerMax bytes
      *error = about(question, token, kTooLong);
      return std::nullopt;
    case Token::kRead:
      break;
  }
  return answer_number<float>(token, question, error);
}

std::optional<float> field_answer(std::string_view field, const char* question,
                                  std::string* error) {
  return answer_number<float>(trimmed(field), question, error);
}

std::optional<double> field_answer_double(std::string_view field, const char* question,
                                          std::string* error) {
  return answer_number<double>(trimmed(field), question, error);
}

std::optional<double> option_number(std::string_view typed, std::string* why) {
  return answer_number<double>(trimmed(typed), nullptr, why);
}

}  // namespace telk
