// How telk is run, as its usage, --help and its manual page tell it: each
// made of the ways to run it and of the table of options (options.h).
#pragma once

#include <string>
#include <string_view>

namespace telk {

// The usage: the ways to run telk, then the ground's options.
std::string usage();

// The usage, then each way to run telk and each option with its help.
std::string help();

// telk.1, the manual page of telk `version`, in the man macros.
std::string manual_page(std::string_view version);

}  // namespace telk
