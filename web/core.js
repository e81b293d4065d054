// The calculator's WebAssembly core, for the page's worker and for Node:
// the five fields go in as typed, and for the check the ground's options
// as the console takes them, and the result file (and with the check the
// check file) comes out in the core's memory, or the console's lines for
// the answers.
'use strict';

// The five questions; then the lines about none of them and about the
// options.
const kQuestionCount = 5;
const kLineCount = kQuestionCount + 2;
// The core's numbers for its files.
const kResultFile = 0;
const kCheckFile = 1;
// The numbers a row holds, as the core names them: the height, then of
// each column group the slope angle (the chart's), and in the check file
// Bishop's factor of safety of it and Bishop's steepest angle.
const kHeight = 0;
const kAngle = 1;
const kBishopFs = 2;
const kSteepest = 3;

// Instantiates the core from the module's bytes, or the module compiled.
// The C library's system calls (its console streams, which the core
// leaves unused) are answered "not supported".  A slow check calls
// progress(share) each hundredth of its way, share from 0 to 1.
async function loadTelk(wasm, progress = () => {}) {
  const compiled = wasm instanceof WebAssembly.Module ? wasm : await WebAssembly.compile(wasm);
  const system = {};
  for (const { module: from, name } of WebAssembly.Module.imports(compiled)) {
    if (from === 'wasi_snapshot_preview1') system[name] = () => 52;  // ENOSYS
  }
  const imports = { wasi_snapshot_preview1: system, telk: { progress } };
  const core = (await WebAssembly.instantiate(compiled, imports)).exports;
  core._initialize();

  // The bytes at `at` up to the first `stop`, or up to and with it.
  function bytesAt(at, stop, including) {
    const memory = new Uint8Array(core.memory.buffer);
    const end = memory.indexOf(stop, at >>> 0);
    return memory.subarray(at >>> 0, including ? end + 1 : end);
  }

  const text = (at) => new TextDecoder().decode(bytesAt(at, 0, false));
  // Room for a text in the core, `at` it, filled.
  function put(texts, at) {
    texts.forEach((typed, i) => {
      const bytes = new TextEncoder().encode(typed);
      const where = at(i, bytes.length) >>> 0;
      new Uint8Array(core.memory.buffer, where, bytes.length).set(bytes);
    });
  }

  return {
    // Runs the five answers, with `check` checking them by Bishop's method
    // too, on the ground that `options` tell of (['--ru', '0.25'], as the
    // console takes them after --check).  Null when the whole file was
    // written (and the check file), or the seven lines to show: one for
    // each question, one about none and one about the options, which
    // begins with the option's name ("" where there is nothing to say).
    calculate(fields, check = false, options = []) {
      put(fields, core.telk_field);
      core.telk_options(options.length);
      put(options, core.telk_option);
      if (core.telk_calculate(check ? 1 : 0) === 0) return null;
      return Array.from({ length: kLineCount }, (_, line) => text(core.telk_error(line)));
    },
    // The last calculation's line about the options in two: the option it
    // is about ('--water'; '' for none) and the rest after its name.
    optionError: () => ({ option: text(core.telk_error_option()), why: text(core.telk_error_why()) }),

    // What the last calculation wrote, as views into the core's memory,
    // valid until the next one: a file's blocks, whose bytes in turn are
    // the file's (a Blob made of them copies it once), the count of its
    // rows, and the rows the plot needs, each with its line end.  The file
    // is the result file, or with kCheckFile the check file (none without
    // the check), whose plot rows are the result file's row for row.
    fileBlocks(file = kResultFile) {
      return Array.from({ length: core.telk_blocks(file) }, (_, i) =>
        new Uint8Array(core.memory.buffer, core.telk_block(file, i) >>> 0,
                       core.telk_block_size(file, i) >>> 0));
    },
    rows: () => core.telk_rows() >>> 0,
    // The names the console gives the files.
    resultName: () => text(core.telk_result_name()),
    checkName: () => text(core.telk_check_name()),
    plotRows(file = kResultFile) {
      return Array.from({ length: core.telk_plot_rows(file) }, (_, i) =>
        bytesAt(core.telk_plot_row(file, i), 0x0a, true));
    },
    // The layout the files are read by, as the core writes them: the
    // lines of the header of `file` (the check file's has more with the
    // options), the column groups' titles ("FS 1.0"), and the cell
    // where a number of group `group` stands in a row of `file`, counted
    // from 0 (null where the file has none).
    headerLines: (file = kResultFile) => core.telk_header_lines(file),
    groupTitles: () => Array.from({ length: core.telk_groups() }, (_, g) => text(core.telk_group_title(g))),
    cell(file, what, group = 0) {
      const at = core.telk_cell(file, what, group);
      return at < 0 ? null : at;
    },
    // After a check, for each factor of safety the console's line on its
    // lowest Bishop factor of safety, and whether that falls short of it;
    // null without the check.
    checkLines() {
      if (core.telk_blocks(kCheckFile) === 0) return null;
      return Array.from({ length: core.telk_groups() }, (_, g) =>
        ({ line: text(core.telk_check_line(g)), short: core.telk_check_short(g) === 1 }));
    },
  };
}

if (typeof module !== 'undefined') module.exports = { loadTelk, kResultFile, kCheckFile, kHeight, kAngle, kBishopFs, kSteepest };
