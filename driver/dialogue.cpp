#include "driver/dialogue.h"

#include <iterator>

#include "driver/answers.h"

namespace telk {

namespace {

const char kBanner[] =
    "\n"
    "  ****************************************************************************\n"
    "  *                             TELK&VORN Calulator                          *\n"
    "  ****************************************************************************\n"
    "\n\n";

// The prompts of kQuestions, in order.  The later ones begin with a line
// end: with the one the user typed, they leave an empty line between
// questions.
const char* const kPrompts[] = {
    "\tFriction angle \t\t[degree] :",
    "\n\tCohesion \t\t[Tn/m2]\t:",
    "\n\tDensity  \t\t[Tn/m3]\t:",
    "\n\tHeight of the talus \t  [m]\t:",
    "\n\tDefinition \t\t  [m]\t:",
};
static_assert(std::size(kPrompts) == std::size(kQuestions));

}  // namespace

bool ask_answers(std::FILE* in, std::FILE* out, Answers* answers,
                 std::string* error) {
  std::fputs(kBanner, out);
  for (std::size_t i = 0; i < std::size(kQuestions); ++i) {
    const Question& question = kQuestions[i];
    std::fputs(kPrompts[i], out);
    std::fflush(out);
    const auto answer = read_answer(in, question.name, error);
    if (!answer) return false;
    answers->*question.answer = *answer;
  }
  return true;
}

}  // namespace telk
