// The calculator's WebAssembly core, for the page and for Node: the five
// fields go in as typed, and the result file comes out in the core's
// memory, or the console's lines for the answers.
'use strict';

// The five questions, then the lines about none of them.
const kQuestionCount = 5;

// Instantiates the core from the module's bytes.  The C library's system
// calls (its console streams, which the core leaves unused) are answered
// "not supported".
async function loadTelk(wasmBytes) {
  const compiled = await WebAssembly.compile(wasmBytes);
  const system = {};
  for (const { module: from, name } of WebAssembly.Module.imports(compiled)) {
    if (from === 'wasi_snapshot_preview1') system[name] = () => 52;  // ENOSYS
  }
  const core = (await WebAssembly.instantiate(compiled, { wasi_snapshot_preview1: system })).exports;
  core._initialize();

  // The bytes at `at` up to the first `stop`, or up to and with it.
  function bytesAt(at, stop, including) {
    const memory = new Uint8Array(core.memory.buffer);
    const end = memory.indexOf(stop, at >>> 0);
    return memory.subarray(at >>> 0, including ? end + 1 : end);
  }

  return {
    // Runs the five answers.  Null when the whole file was written, or the
    // six lines to show: one for each question and one about none ("" where
    // there is nothing to say).
    calculate(fields) {
      fields.forEach((field, question) => {
        const bytes = new TextEncoder().encode(field);
        const at = core.telk_field(question, bytes.length) >>> 0;
        new Uint8Array(core.memory.buffer, at, bytes.length).set(bytes);
      });
      if (core.telk_calculate() === 0) return null;
      return Array.from({ length: kQuestionCount + 1 }, (_, question) =>
        new TextDecoder().decode(bytesAt(core.telk_error(question), 0, false)));
    },

    // What the last calculation wrote, as views into the core's memory,
    // valid until the next one: the file's blocks, whose bytes in turn are
    // the file's (a Blob made of them copies it once), the count of its
    // rows, and the rows the plot needs, each with its line end.
    fileBlocks() {
      return Array.from({ length: core.telk_blocks() }, (_, i) =>
        new Uint8Array(core.memory.buffer, core.telk_block(i) >>> 0, core.telk_block_size(i) >>> 0));
    },
    rows: () => core.telk_rows() >>> 0,
    // The name the console gives the file.
    resultName: () => new TextDecoder().decode(bytesAt(core.telk_result_name(), 0, false)),
    plotRows() {
      return Array.from({ length: core.telk_plot_rows() }, (_, i) =>
        bytesAt(core.telk_plot_row(i), 0x0a, true));
    },
  };
}

if (typeof module !== 'undefined') module.exports = { loadTelk };
