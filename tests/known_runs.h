// The runs whose whole result file, check file and console are kept in
// tests/e2e, as tests/e2e/known_runs.tsv lists them.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct KnownRun {
  std::string name;
  std::string answers;
  std::string options;  // the ground's options, given with --check alone
};

// The runs listed in `dir`/known_runs.tsv: a line each, its name,
// answers, what it shows and options separated by tabs, "\n" in the
// answers a line end; lines starting with # are notes.
inline std::vector<KnownRun> known_runs(const std::string& dir) {
  std::ifstream list(dir + "/known_runs.tsv", std::ios::binary);
  std::vector<KnownRun> runs;
  for (std::string line; std::getline(list, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    KnownRun run;
    std::string typed;
    std::getline(fields, run.name, '\t');
    std::getline(fields, typed, '\t');
    std::string shows;
    std::getline(fields, shows, '\t');
    std::getline(fields, run.options, '\t');
    for (std::size_t i = 0; i < typed.size(); ++i) {
      const bool escape = typed[i] == '\\' && i + 1 < typed.size() && typed[i + 1] == 'n';
      run.answers += escape ? '\n' : typed[i];
      i += escape;
    }
    runs.push_back(run);
  }
  return runs;
}
