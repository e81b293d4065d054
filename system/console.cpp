// The wait before a console window of its own closes, which every system
// shares; how many processes share the console is the system's call.
#include <cstdio>

#include "system/platform.h"

namespace telk {

void keep_window_open(std::FILE* in, std::FILE* err) {
  if (!waits_before_closing(os::console_processes(), is_terminal(in), is_terminal(err))) return;
  const auto rest_of_line = [in] {
    int ch = std::fgetc(in);
    while (ch != EOF && ch != '\n') ch = std::fgetc(in);
  };
  rest_of_line();
  std::fputs("Press Enter to close this window.", err);
  std::fflush(err);
  rest_of_line();
}

}  // namespace telk
