// Runs whose whole result file and console are kept in tests/e2e as
// <name>.xls and <name>.console.
#pragma once

struct KnownRun {
  const char* name;
  const char* answers;
};

inline constexpr KnownRun kKnownRuns[] = {
    {"phi35_h20_d2.5", "35\n1\n2.2\n20\n2.5\n"},
    {"phi30_h10_d5", "30\n2\n2\n10\n5\n"},
    {"h3.2_d0.1", "35\n1\n2.2\n3.2\n0.1\n"},  // heights carried to 3,00
    {"h1_d0.1", "35\n1\n2.2\n1\n0.1\n"},      // nine rows, not ten
    // Cohesion ratios below zero are below the chart: no angles.
    {"negative", "35\n1\n2.2\n-10\n-3\n"},
    {"negative_cohesion", "35 -1 2.2 10 5"},
    {"negative_density", "35 1 -2.2 10 5"},
    {"phi0", "0\n1\n2.2\n10\n5\n"},
    {"no_rows", "35\n1\n2.2\n1\n5\n"},
    // Keys with a limit but no curve get empty angles; 0.125 steps and a
    // density of 2.25 fall on halves.
    {"key10", "6 0.5 1.8 2 0.5"},
    {"key85_halves", "40.4 0.5 2.25 4 0.125"},
    {"key100", "45 0.3 2.2 3 0.25"},
};
