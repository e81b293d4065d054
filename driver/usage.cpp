#include "driver/usage.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "driver/options.h"
#include "report/check_file.h"
#include "report/layout.h"

namespace telk {

namespace {

// The ways to run telk, before the options: the name (none for the
// dialogue alone), what follows it, and its help.
struct Run {
  std::string_view name, value, help;
};
constexpr Run kRuns[] = {
    {"(none)", "", "ask for the ground and the sweep, and write TELK_result.xls"},
    {"--check", "",
     "the same, and TELK_check.xls: each of the chart's angles checked\n"
     "by Bishop's simplified method, and Bishop's own steepest angle"},
    {"--fs", "PHI C GAMMA H BETA",
     "the factor of safety of one slope by Bishop's simplified method\n"
     "(friction angle and slope angle in degrees, cohesion, unit weight\n"
     "and height in consistent units), and its critical circle"},
};
const Run& kCheck = kRuns[1];
const Run& kOneSlope = kRuns[2];

// The usage's lines are at most this wide, and each help's starts in
// this column (counted from 0).
constexpr std::size_t kUsageWidth = 72;
constexpr std::size_t kHelpColumn = 11;

// The texts one after another: a sum of strings that begins with a
// literal makes GCC 12 warn falsely of overlapping copies.
std::string concat(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts) text += part;
  return text;
}

std::string term(std::string_view name, std::string_view value) {
  return value.empty() ? std::string(name) : concat({name, " ", value});
}

// An option with those that need it, each in brackets after it with
// those that need it in turn: "--water X1,Y1,X2,Y2,... [--gamma-w W]",
// "--crack Z|auto [--crack-water F [--gamma-w W]]".
// (Two levels at most: options.cpp holds the table to that.)
std::string with_partners(const OptionRow& row) {
  std::string text = term(row.name, row.value);
  for (const OptionRow& other : kOptionRows) {
    if (!other.paired(OptionPairing::kNeeds, row.name)) continue;
    text += concat({" [", term(other.name, other.value)});
    for (const OptionRow& next : kOptionRows) {
      if (next.paired(OptionPairing::kNeeds, other.name))
        text += concat({" [", term(next.name, next.value), "]"});
    }
    text += "]";
  }
  return text;
}

// The usage's pieces for the options that `runs` take, each in brackets,
// those that cannot go together as alternatives in one pair:
// "[--ru R | --water X1,Y1,X2,Y2,... [--gamma-w W]]", "[--base D]".
std::vector<std::string> option_pieces(OptionRuns runs) {
  std::vector<std::vector<const OptionRow*>> pieces;
  for (const OptionRow& row : kOptionRows) {
    if (row.runs != runs || row.paired(OptionPairing::kNeeds)) continue;
    const auto apart = [&](const std::vector<const OptionRow*>& piece) {
      return std::any_of(piece.begin(), piece.end(), [&](const OptionRow* other) {
        return row.paired(OptionPairing::kExcludes, other->name) ||
               other->paired(OptionPairing::kExcludes, row.name);
      });
    };
    const auto piece = std::find_if(pieces.begin(), pieces.end(), apart);
    if (piece != pieces.end()) piece->push_back(&row);
    else pieces.push_back({&row});
  }
  std::vector<std::string> texts;
  for (const auto& piece : pieces) {
    std::string text = "[";
    for (const OptionRow* row : piece) {
      if (text.size() > 1) text += " | ";
      text += with_partners(*row);
    }
    texts.push_back(text + "]");
  }
  return texts;
}

// `lead` and the pieces after it, a space between two, in lines of at
// most kUsageWidth, each after the first indented by `indent`.
std::string wrapped(std::string_view lead, const std::vector<std::string>& pieces,
                    std::size_t indent) {
  std::string text, line(lead);
  bool first = true;
  for (const std::string& piece : pieces) {
    if (!first && line.size() + 1 + piece.size() > kUsageWidth) {
      text += line + "\n";
      line.assign(indent, ' ');
      first = true;
    }
    if (!first) line += ' ';
    line += piece;
    first = false;
  }
  return text + line + "\n";
}

// The usage's two parts: the ways to run telk with the options one slope
// alone takes, and the ground's options.
std::vector<std::string> run_pieces() {
  std::vector<std::string> pieces = {concat({"[", kCheck.name, " [GROUND] |"}),
                                     term(kOneSlope.name, kOneSlope.value) + " [GROUND]"};
  const std::vector<std::string> fs_only = option_pieces(OptionRuns::kFsOnly);
  pieces.insert(pieces.end(), fs_only.begin(), fs_only.end());
  pieces.emplace_back("| --version | --help]");
  return pieces;
}

// Each help's term and text: an option whose row has no help of its own
// shares the row before's ("--kh K, --kv V").
struct Entry {
  std::vector<const OptionRow*> rows;
  std::string_view help;
};
std::vector<Entry> option_entries() {
  std::vector<Entry> entries;
  for (const OptionRow& row : kOptionRows) {
    if (row.help.empty() && !entries.empty()) entries.back().rows.push_back(&row);
    else entries.push_back({{&row}, row.help});
  }
  return entries;
}

// A term and its help as --help shows them: the term from the third
// column, the help from kHelpColumn on, beside the term where it leaves
// room.
void add_help(std::string* text, std::string_view term, std::string_view help) {
  *text += "  ";
  *text += term;
  if (term.size() + 3 <= kHelpColumn) {
    text->append(kHelpColumn - 2 - term.size(), ' ');
  } else {
    *text += '\n';
    text->append(kHelpColumn, ' ');
  }
  for (const char ch : help) {
    *text += ch;
    if (ch == '\n') text->append(kHelpColumn, ' ');
  }
  *text += '\n';
}

// Text as roff sets it: minus signs for hyphens (the options' dashes, which
// must copy as typed), the backslash escaped, and no line that would start
// a request.
std::string roff(std::string_view text) {
  std::string out;
  for (const char ch : text) {
    if ((out.empty() || out.back() == '\n') && (ch == '.' || ch == '\'')) out += "\\&";
    if (ch == '-') out += "\\-";
    else if (ch == '\\') out += "\\e";
    else out += ch;
  }
  return out;
}

std::string bold(std::string_view text) { return concat({"\\fB", roff(text), "\\fR"}); }
std::string italic(std::string_view text) { return concat({"\\fI", roff(text), "\\fR"}); }

// A tagged paragraph of the manual page: the names in bold, what they
// take in italics.
std::string manual_item(const std::vector<std::pair<std::string_view, std::string_view>>& terms,
                        std::string_view help) {
  std::string tag;
  for (const auto& [name, value] : terms) {
    if (!tag.empty()) tag += ", ";
    tag += bold(name);
    if (!value.empty()) tag += concat({" ", italic(value)});
  }
  return concat({".TP\n", tag, "\n", roff(help), "\n"});
}

}  // namespace

std::string usage() {
  return wrapped("usage: telk ", run_pieces(), 13) +
         wrapped("  GROUND: ", option_pieces(OptionRuns::kCheckAndFs), 10);
}

std::string help() {
  std::string text = usage();
  for (const Run& run : kRuns) add_help(&text, term(run.name, run.value), run.help);
  for (const Entry& entry : option_entries()) {
    std::string terms;
    for (const OptionRow* row : entry.rows) {
      if (!terms.empty()) terms += ", ";
      terms += term(row->name, row->value);
    }
    add_help(&text, terms, entry.help);
  }
  return text;
}

std::string manual_page(std::string_view version) {
  std::string page = concat({".TH TELK 1 \"\" \"telk ", roff(version), "\" \"User Commands\"\n",
                             ".SH NAME\ntelk \\- the steepest safe angle of a soil slope, and its check\n",
                             ".SH SYNOPSIS\n.nf\n", roff(wrapped("telk ", run_pieces(), 6)),
                             roff(wrapped("GROUND: ", option_pieces(OptionRuns::kCheckAndFs), 8)),
                             ".fi\n"});
  page += concat(
      {".SH DESCRIPTION\n",
       roff("Without arguments, telk asks for the friction angle of a soil in degrees, its\n"
            "cohesion in Tn/m2, its density in Tn/m3, the height of the slope in m and a\n"
            "height step in m.\n"
            "At every step of the height it reads the steepest safe slope angle for the\n"
            "factors of safety 1.0, 1.3 and 1.5 off a design chart, and writes them to\n"),
       italic(kResultName),
       roff(", tab-separated with decimal commas, as a spreadsheet opens it.\n"
            "A run that fails leaves the old file as it was.\n"),
       ".PP\n",
       roff("GROUND, after --check or after --fs and its five numbers, in any order, tells\n"
            "the check what the chart knows nothing of: water, a firm base below the toe,\n"
            "an earthquake's load, a tension crack and a load on the crest.\n"
            "The result file stays the dry chart's.\n"),
       ".SH OPTIONS\n"});
  for (const Run& run : kRuns) {
    if (run.name.starts_with("--")) page += manual_item({{run.name, run.value}}, run.help);
  }
  for (const Entry& entry : option_entries()) {
    std::vector<std::pair<std::string_view, std::string_view>> terms(entry.rows.size());
    std::transform(entry.rows.begin(), entry.rows.end(), terms.begin(), [](const OptionRow* row) {
      return std::pair(row->name, row->value);
    });
    page += manual_item(terms, entry.help);
  }
  page += concat(
      {manual_item({{"--version", ""}}, "prints telk's version"),
       manual_item({{"--help", ""}}, "prints the usage and what each option does"),
       ".SH \"EXIT STATUS\"\n",
       manual_item({{"0", ""}}, "the files written in full, or the line asked for printed"),
       manual_item({{"1", ""}},
                   "an answer or a number telk cannot use, a sweep it refuses, or a factor\n"
                   "of safety that is no number; no file touched"),
       manual_item({{"2", ""}},
                   "an argument telk does not take: the usage, after a line naming an\n"
                   "option that cannot apply"),
       manual_item({{"255", ""}},
                   "a file or standard output could not be written (-1 on Windows); the\n"
                   "old files stand, but where the line says which stand new"),
       manual_item({{"128 + signal", ""}}, "interrupted: both files new or both old"),
       ".SH FILES\n",
       manual_item({{kResultName, ""}}, "the chart's angles, a row for each height"),
       manual_item({{kCheckName, ""}},
                   "with --check, each of them checked by Bishop's simplified method")});
  return page;
}

}  // namespace telk
