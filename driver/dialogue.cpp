#include "driver/dialogue.h"

#include "driver/answers.h"

namespace telk {

namespace {

const char kBanner[] =
    "\n"
    "  ****************************************************************************\n"
    "  *                             TELK&VORN Calulator                          *\n"
    "  ****************************************************************************\n"
    "\n\n";

struct Question {
  const char* prompt;
  const char* name;  // as error lines call it
  float Answers::*answer;
};

// The later prompts begin with a line end: with the one the user typed,
// they leave an empty line between questions.
const Question kQuestions[] = {
    {"\tFriction angle \t\t[degree] :", "friction angle", &Answers::friction_angle},
    {"\n\tCohesion \t\t[Tn/m2]\t:", "cohesion", &Answers::cohesion},
    {"\n\tDensity  \t\t[Tn/m3]\t:", "density", &Answers::density},
    {"\n\tHeight of the talus \t  [m]\t:", "height", &Answers::height},
    {"\n\tDefinition \t\t  [m]\t:", "definition", &Answers::definition},
};

}  // namespace

bool ask_answers(std::FILE* in, std::FILE* out, Answers* answers,
                 std::string* error) {
  std::fputs(kBanner, out);
  for (const Question& question : kQuestions) {
    std::fputs(question.prompt, out);
    std::fflush(out);
    const auto answer = read_answer(in, question.name, error);
    if (!answer) return false;
    answers->*question.answer = *answer;
  }
  return true;
}

}  // namespace telk
