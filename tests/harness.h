// Runs the built telk from a shell script in a fresh directory, and
// gathers what it left: exit status, console, error lines, result file.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace harness {

namespace fs = std::filesystem;

#ifdef TELK_WINDOWS
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// Console text as the program's platform writes it: standard output and
// error are text streams, whose line ends are CR LF on Windows.
inline std::string console_lines(const std::string& text) {
  if (!kWindows) return text;
  std::string crlf;
  for (const char ch : text) {
    if (ch == '\n') crlf += '\r';
    crlf += ch;
  }
  return crlf;
}

inline std::string slurp(const fs::path& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

struct Outcome {
  int status;
  std::string console, error, result;
  std::string files;  // what the working directory holds after, space-separated
};

// `script` runs under bash in $IO/run with $TELK set; $IO holds `answers`,
// and whatever the script sends to $IO/console and $IO/error.  The status
// is that of the script's last command.  With `private_mounts` the script
// runs in its own mount namespace, so that what it mounts vanishes with it.
inline Outcome run_script(const std::string& answers, const std::string& script,
                          bool private_mounts = false) {
  char name[] = "/tmp/telk-test-XXXXXX";
  const fs::path io = mkdtemp(name);
  fs::create_directory(io / "run");
  std::ofstream(io / "answers", std::ios::binary) << answers;
  std::ofstream(io / "script") << "cd \"$IO/run\"\n" << script << "\n"
      << "echo $? > \"$IO/status\"\n"
      << "cd \"$IO/run\" && ls -A | tr '\\n' ' ' > \"$IO/files\"\n"
      << "[ -f TELK_result.xls ] && cat TELK_result.xls > \"$IO/result\"\n";
  const std::string command = "IO='" + io.string() + "' TELK='" TELK_BINARY "' " +
                              (private_mounts ? "unshare -m " : "") + "bash '" +
                              io.string() + "/script' 2> '" + io.string() + "/shell'";
  [[maybe_unused]] const int ignored = std::system(command.c_str());
  Outcome out{std::atoi(slurp(io / "status").c_str()), slurp(io / "console"),
              slurp(io / "error"), slurp(io / "result"), slurp(io / "files")};
  fs::remove_all(io);
  return out;
}

// telk with the answers on standard input, after the commands in `prefix`.
inline Outcome run(const std::string& answers, const std::string& prefix = "") {
  return run_script(answers, prefix + "\"$TELK\" < \"$IO/answers\" > \"$IO/console\" 2> \"$IO/error\"");
}

// A long run over an old result file, sent `signal` once it has begun
// writing its temporary file; the status is the run's.  Job control keeps
// SIGINT for the background run.  Wine's server closes a dead process's
// handles, and so removes a file marked for deletion, a moment after the
// process is gone: the script waits for that, while a temporary file the
// run forgot stays for good.
inline Outcome interrupted_run(const std::string& signal) {
  return run_script("35 1 2.2 1250000 0.125",
                    "set -m; printf 'old result' > TELK_result.xls; "
                    "\"$TELK\" < \"$IO/answers\" > /dev/null & pid=$!; "
                    "for i in $(seq 1000); do ls | grep -q 'tmp$' && break; sleep 0.01; done; "
                    "sleep 0.1; kill -" + signal + " $pid; wait $pid; status=$?; "
                    "for i in $(seq 500); do ls | grep -q 'tmp$' || break; sleep 0.01; done; "
                    "(exit $status)");
}

}  // namespace harness
