// Runs the built telk from a shell script in a fresh directory, piped or
// at a terminal, and gathers what it left: exit status, console, error
// lines, result file.
#pragma once

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
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
  std::string check;  // the check file, where the run wrote one
  std::string terminal;  // what the terminal showed, for a run on one
};

// Runs `command` under sh on a new pseudo-terminal, as its controlling
// terminal and standard streams, with `keys` typed into it; returns what
// the terminal showed.  The terminal neither echoes the keys nor turns
// line ends into CR LF, so what it shows is exactly what was written to it.
inline std::string on_terminal(const std::string& command, const std::string& keys) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "no terminal";
  const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
  termios mode{};
  tcgetattr(slave, &mode);
  mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  mode.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tcsetattr(slave, TCSANOW, &mode);
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    ioctl(slave, TIOCSCTTY, 0);
    for (int fd = 0; fd <= 2; ++fd) dup2(slave, fd);
    close(master);
    close(slave);
    execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    _exit(127);
  }
  close(slave);
  [[maybe_unused]] const ssize_t typed = write(master, keys.data(), keys.size());
  std::string shown;
  char buffer[4096];
  ssize_t n = 0;
  // Linux says EIO once the last process on the terminal has closed it.
  while ((n = read(master, buffer, sizeof buffer)) > 0) shown.append(buffer, static_cast<std::size_t>(n));
  waitpid(child, nullptr, 0);
  close(master);
  return shown;
}

// `script` runs under bash in $IO/run with $TELK set; $IO holds `answers`,
// and whatever the script sends to $IO/console and $IO/error.  The status
// is that of the script's last command.  With `private_mounts` the script
// runs in its own mount namespace, so that what it mounts vanishes with it.
// With `keys` the script runs on a terminal where they are typed.
inline Outcome run_script(const std::string& answers, const std::string& script,
                          bool private_mounts = false, const std::string* keys = nullptr) {
  char name[] = "/tmp/telk-test-XXXXXX";
  const fs::path io = mkdtemp(name);
  fs::create_directory(io / "run");
  std::ofstream(io / "answers", std::ios::binary) << answers;
  std::ofstream(io / "script") << "cd \"$IO/run\"\n" << script << "\n"
      << "echo $? > \"$IO/status\"\n"
      << "cd \"$IO/run\" && ls -A | tr '\\n' ' ' > \"$IO/files\"\n"
      << "[ -f TELK_result.xls ] && cat TELK_result.xls > \"$IO/result\"\n"
      << "[ -f TELK_check.xls ] && cat TELK_check.xls > \"$IO/check\"\n";
  const std::string command = "IO='" + io.string() + "' TELK='" TELK_BINARY "' " +
                              (private_mounts ? "unshare -m " : "") + "bash '" +
                              io.string() + "/script'";
  std::string terminal;
  if (keys != nullptr) {
    terminal = on_terminal(command, *keys);
  } else {
    [[maybe_unused]] const int ignored =
        std::system((command + " 2> '" + io.string() + "/shell'").c_str());
  }
  Outcome out{std::atoi(slurp(io / "status").c_str()), slurp(io / "console"),
              slurp(io / "error"), slurp(io / "result"), slurp(io / "files"),
              slurp(io / "check"), terminal};
  fs::remove_all(io);
  return out;
}

// Who runs telk where permission bits matter: the tests themselves when
// they run as a normal user, else (as root, which may write anything, as
// in CI) the user nobody.  The directory a script runs in must then be
// open to that user, and telk too: $IO/telk is a copy.
inline std::string as_user() {
  return geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
}
inline bool can_run_as_user() {
  return geteuid() != 0 || std::system((as_user() + "true 2>/dev/null").c_str()) == 0;
}
inline const std::string kOpenToUser =
    "chmod 711 \"$IO\" && cp \"$TELK\" \"$IO/telk\" && ";

// telk with the answers on standard input, after the commands in `prefix`,
// with the arguments `args`.
inline Outcome run(const std::string& answers, const std::string& prefix = "",
                   const std::string& args = "") {
  return run_script(answers, prefix + "\"$TELK\" " + args +
                                 " < \"$IO/answers\" > \"$IO/console\" 2> \"$IO/error\"");
}

// A long run over an old result file, with the arguments `args`, sent
// `signal` once it is sweeping (its trace shows, one long line, or on
// Windows its temporary file); the status is the run's.  Just before the
// signal the console gets a line for each of its threads, "main" or
// "thread" and the signals it blocks (SigBlk, in hex), where the system
// shows them.  Job control keeps SIGINT for the background run.  Wine's server
// closes a dead process's handles, and so removes a file marked for
// deletion, a moment after the process is gone: the script waits for
// that, while a temporary file the run forgot stays for good.
inline Outcome interrupted_run(const std::string& signal, const std::string& args = "") {
  return run_script("35 1 2.2 1250000 0.125",
                    "set -m; printf 'old result' > TELK_result.xls; "
                    "\"$TELK\" " + args + " < \"$IO/answers\" > \"$IO/trace\" & pid=$!; "
                    "for i in $(seq 1000); do ls | grep -q 'tmp$' && break; "
                    "head -c 9999 \"$IO/trace\" | grep -q 0.54 && break; sleep 0.01; done; "
                    "sleep 0.1; for t in /proc/$pid/task/*; do [ -e $t/status ] || continue; "
                    "[ ${t##*/} = $pid ] && who=main || who=thread; "
                    "echo \"$who $(sed -n 's/^SigBlk:[[:space:]]*//p' $t/status)\"; done > \"$IO/console\"; "
                    "kill -" + signal + " $pid; wait $pid; status=$?; "
                    "for i in $(seq 500); do ls | grep -q 'tmp$' || break; sleep 0.01; done; "
                    "rm \"$IO/trace\"; (exit $status)");
}

// Whether strace can trace here (installed, and ptrace allowed).
inline bool can_trace() {
  return std::system("strace -qqq -o /dev/null true 2>/dev/null") == 0;
}

// strace, quiet, before a command it traces with `options`.  A sanitized
// build's leak check cannot run under a tracer: it is left out there.
inline std::string traced(const std::string& options) {
  return "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" strace -qqq -o /dev/null " + options + " ";
}

// A checked run of "35 1 2.2 20 2.5" over old result and check files,
// under strace with `options`, which delay a system call or make it fail;
// with a `signal`, sent it once the shell test `moment` holds.  The status
// is the run's.
inline Outcome traced_run(const std::string& options, const std::string& signal,
                          const std::string& moment) {
  return run_script("35 1 2.2 20 2.5",
      "set -m; printf 'old result' > TELK_result.xls; printf 'old check' > TELK_check.xls; "
      + traced(options) + "sh -c 'echo $$ > \"$IO/pid\"; "
      "exec \"$TELK\" --check < \"$IO/answers\" > /dev/null 2> \"$IO/error\"' & tracer=$!; " +
      (signal.empty() ? "" : "for i in $(seq 1000); do " + moment + " && break; sleep 0.01; done; "
                             "kill -" + signal + " $(cat \"$IO/pid\"); ") +
      "wait $tracer; status=$?; rm \"$IO/pid\"; (exit $status)");
}

// Many runs over an old result file, `runs` for each signal number in
// `signals`, each sent its signal at a random moment: half of them within
// the time a whole run takes (measured first, plus a quarter), and half
// within 3 ms of the last answer, where the new file is made.  Each run
// adds a line to the console: signal, status, what the result file holds
// (old, new or other), then what the directory holds and any error text.
// The script starts no process where the shell can help it, so that the
// moments stay random rather than the cost of a fork.
inline Outcome interrupt_storm(const std::string& signals, int runs) {
  return run_script("35 1 2.2 25000 0.125",
      "set -m; ulimit -c 0; shopt -s dotglob nullglob\n"
      // A sanitizer's own handlers would take a crash signal sent from
      // outside for a crash, and may hang if it comes while they start.
      "export ASAN_OPTIONS=\"$ASAN_OPTIONS:handle_segv=0:handle_sigbus=0:handle_sigfpe=0:"
      "handle_sigill=0:handle_abort=0\"\n"
      "mkfifo \"$IO/never\" \"$IO/in\"; exec 9<> \"$IO/never\"\n"
      "now() { us=${EPOCHREALTIME/[.,]/}; }\n"
      "pause() { local us=$((RANDOM * $1 / 32768)); read -t $((us / 1000000)).$(printf %06d $((us % 1000000))) -u 9; }\n"
      "said() { text=; IFS= read -r -d '' -N 9999 text < \"$1\"; }\n"
      "now; start=$us; \"$TELK\" < \"$IO/answers\" > /dev/null && mv TELK_result.xls \"$IO/new\" || exit\n"
      "now; life=$(((us - start) * 5 / 4))\n"
      "for sig in " + signals + "; do for k in $(seq " + std::to_string(runs) + "); do\n"
      "  printf 'old result' > TELK_result.xls\n"
      "  if ((k % 2)); then\n"
      "    \"$TELK\" < \"$IO/answers\" > /dev/null 2> \"$IO/error\" & pid=$!; pause $life\n"
      "  else\n"
      "    \"$TELK\" > \"$IO/trace\" < \"$IO/in\" 2> \"$IO/error\" & pid=$!\n"
      "    exec 8> \"$IO/in\"; printf '35 1 2.2 25000 ' >&8\n"
      "    for w in $(seq 4000); do said \"$IO/trace\"; [[ $text == *Definition* ]] && break; pause 1000; done\n"
      "    printf '0.125 ' >&8; exec 8>&-; pause 3000\n"
      "  fi\n"
      "  kill -$sig $pid; wait $pid; status=$?\n"
      "  said TELK_result.xls; held=old\n"
      "  if [[ $text != 'old result' ]]; then cmp -s TELK_result.xls \"$IO/new\" && held=new || held=other; fi\n"
      "  files=(*); said \"$IO/error\"\n"
      "  echo \"$sig $status $held ${files[*]} ${text//$'\\n'/|}\" >> \"$IO/console\"\n"
      "done; done; rm -f \"$IO/new\" \"$IO/trace\"; true");
}

}  // namespace harness
