// The console dialogue: the banner, then the five questions in turn.
#pragma once

#include <cstdio>
#include <string>

#include "report/layout.h"

namespace telk {

// Shows the banner and asks the five questions on `out`, each prompt shown
// before its answer is read from `in`.  On failure *error is the line to
// show, naming the question and what was typed.
bool ask_answers(std::FILE* in, std::FILE* out, Answers* answers,
                 std::string* error);

}  // namespace telk
