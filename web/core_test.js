// The WebAssembly core against the Linux build, in Node.
//   node core_test.js answers <telk_web.wasm> <telk> [runs]
//     random answers typed as a person would, with now and then one that
//     the console refuses: the same result file's bytes, and checked the
//     same check file's as telk --check, or the console's error line as
//     the first of the page's lines; and plot rows that draw every row's
//     lines, the check file's at the same rows; and two runs checked on
//     the ground of options, as telk --check with them, whose check files
//     have a longer header;
//   node core_test.js chart <telk_chart_scan.wasm> <telk_chart_scan>
//     the chart scan under Node's WASI against the Linux one: every float
//     friction angle's rounded ratios and every ratio pair's slope angle,
//     where the C libraries' tan and pow reach the file.
'use strict';

const assert = require('assert');
const { execFile } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { WASI } = require('wasi');
const { loadTelk, kResultFile, kCheckFile, kSteepest } = require('./core.js');

// A small seeded generator (mulberry32), so that a failure can be rerun.
function generator(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = Math.imul(a ^ (a >>> 15), 1 | a);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Answers the console cannot read, or reads in its own way.
const kOdd = ['3,5', 'abc', '35m', '1e39', '-1e39', 'inf', '-inf', 'nan', '0x1p-3', '1e-50',
              '+2.5', '.5', '5.', '-0', '7'.repeat(5000), '0.' + '0'.repeat(4093) + '1'];

function randomAnswers(random) {
  const typed = (low, high, fewest, most) =>
    (low + (high - low) * random()).toFixed(fewest + Math.floor(random() * (most - fewest + 1)));
  const answers = [typed(1, 60, 0, 3), typed(0, 12, 0, 2), typed(1.4, 2.9, 1, 2),
                   typed(0.1, 80, 0, 2), typed(0.01, 2.5, 2, 2)];
  if (random() < 0.05) answers[3] = typed(100, 400, 0, 2);  // drifts at fine definitions
  for (let i = 0; i < answers.length; ++i) {
    if (random() < 0.02) answers[i] = kOdd[Math.floor(random() * kOdd.length)];
  }
  return answers;
}

// Memory rather than disk where there is some: each run syncs its file.
const kScratch = fs.existsSync('/dev/shm') ? '/dev/shm' : os.tmpdir();

// The Linux build, telk --check, in a directory of its own: its status,
// error line and files.  A few runs at a time, as each waits on its own.
function runLinux(telk, answers) {
  const options = answers.options ?? [];
  const dir = fs.mkdtempSync(path.join(kScratch, 'telk-web-'));
  const read = (name) => {
    const file = path.join(dir, name);
    return fs.existsSync(file) ? fs.readFileSync(file) : null;
  };
  return new Promise((resolve, reject) => {
    const child = execFile(telk, ['--check', ...options], { cwd: dir, encoding: 'buffer' }, (failed, stdout, stderr) => {
      const bytes = read('TELK_result.xls');
      const check = read('TELK_check.xls');
      fs.rmSync(dir, { recursive: true, force: true });
      if (failed && typeof failed.code !== 'number') reject(failed);
      else resolve({ status: failed ? failed.code : 0, error: stderr.toString(), bytes, check });
    });
    // Options it refuses end the run before it reads the answers.
    child.stdin.on('error', () => {});
    child.stdin.end(answers.join('\n') + '\n');
  });
}

async function runAllLinux(telk, inputs, atOnce = 4) {
  const outcomes = [];
  let next = 0;
  const worker = async () => {
    while (next < inputs.length) {
      const k = next++;
      outcomes[k] = await runLinux(telk, inputs[k]);
    }
  };
  await Promise.all(Array.from({ length: atOnce }, worker));
  return outcomes;
}

function runCore(core, answers, check = false) {
  const lines = core.calculate(answers, check, check ? answers.options : []);
  return { lines, bytes: Buffer.concat(lines === null ? core.fileBlocks() : []),
           check: Buffer.concat(lines === null ? core.fileBlocks(kCheckFile) : []) };
}

// The plot's rows draw the lines of every row: each row's cells after the
// height are those of the last plot row at or before it, the last row is
// one of them, and the core counts the rows as the file has them.  With
// the check file, its plot rows are its rows of the same numbers, and
// Bishop's steepest angles are drawn as every row's too.
function checkPlotRows(core, bytes, check, what) {
  const linesOf = (bytes, file) => bytes.toString('latin1').split('\r\n').slice(core.headerLines(file), -1);
  const textOf = (row) => Buffer.from(row).toString('latin1').slice(0, -2);
  const rows = linesOf(bytes, kResultFile);
  const checkRows = check.length > 0 ? linesOf(check, kCheckFile) : null;
  const plot = core.plotRows().map(textOf);
  const checkPlot = core.plotRows(kCheckFile).map(textOf);
  const afterHeight = (row) => row.slice(row.indexOf('\t'));
  const steepestCells = core.groupTitles().map((_, group) => core.cell(kCheckFile, kSteepest, group));
  const steepest = (row) => steepestCells.map((cell) => row.split('\t')[cell]).join('\t');
  assert.strictEqual(core.rows(), rows.length, what);
  assert.strictEqual(checkPlot.length, checkRows === null ? 0 : plot.length, what);
  let drawn = -1;
  rows.forEach((row, i) => {
    if (plot[drawn + 1] === row) {
      ++drawn;
      if (checkRows !== null) assert.strictEqual(checkPlot[drawn], checkRows[i], `${what}: row ${i + 1}`);
    }
    assert.ok(drawn >= 0 && afterHeight(plot[drawn]) === afterHeight(row), `${what}: row ${i + 1}`);
    if (checkRows !== null) {
      assert.strictEqual(steepest(checkPlot[drawn]), steepest(checkRows[i]), `${what}: row ${i + 1}`);
    }
  });
  assert.strictEqual(drawn, plot.length - 1, what);
  assert.strictEqual(plot[drawn], rows[rows.length - 1], what);
}

async function compareAnswers(wasmPath, telk, runs) {
  const core = await loadTelk(fs.readFileSync(wasmPath));
  const random = generator(20261207);
  const inputs = Array.from({ length: runs }, () => randomAnswers(random));
  // Under a water table each row's angles are scanned for from the
  // flattest slope up: a few rows each.
  inputs.push(Object.assign(['30', '2', '2', '10', '2'], { options: ['--water', '0,0,4,1'] }),
              Object.assign(['35', '1', '2.2', '20', '2.5'], { options: ['--ru', '0.25', '--base', '5'] }),
              Object.assign(['25', '3', '1.9', '30', '7.5'], { options: ['--kh', '0.2', '--kv', '0.1', '--base', '2'] }),
              // A crack and a load on the crest: the crack's depth capped at
              // half the short row's height; water in the crack, refused
              // without a unit weight of water for a density above 4.
              Object.assign(['30', '2', '2', '3', '1.5'], { options: ['--crack', '1', '--crack-water', '0.5', '--load', '5', '--load-from', '1'] }),
              Object.assign(['10', '3.2', '2', '10', '2.5'], { options: ['--crack', 'auto', '--load', '3', '--load-width', '4'] }),
              Object.assign(['30', '2', '9.81', '10', '2'], { options: ['--crack', 'auto', '--crack-water', '1'] }),
              // Under a water table the factor of safety crosses a target
              // more than once as the slope steepens: the steepest safe
              // angle is the flattest crossing.
              Object.assign(['32.39', '0.1646', '1.87', '10', '10'], { options: ['--water', '0.944,0.23,3.178,0.876'] }),
              Object.assign(['20.32', '0.0618', '2.132', '10', '5'], { options: ['--water', '0.812,-0.176,4.578,0.828'] }),
              Object.assign(['21.41', '0.0094', '1.879', '10', '5'], { options: ['--water', '4.457,-0.215,5.019,1.062'] }),
              Object.assign(['29.56', '0.1156', '1.927', '10', '5'], { options: ['--water', '0.895,-0.013,4.133,1.048'] }),
              // Water at the edges of the range where every system gives
              // the same bytes, and beyond them, refused alike.
              Object.assign(['30', '2', '2', '10', '2'], { options: ['--ru', '0.9'] }),
              Object.assign(['30', '2', '2', '10', '5'], { options: ['--water', '0,0,4,1', '--gamma-w', '2'] }),
              Object.assign(['30', '2', '2', '10', '0.5'], { options: ['--ru', '0.9999'] }),
              Object.assign(['30', '2', '2', '10', '0.5'], { options: ['--water', '0,0,4,1', '--gamma-w', '1e10'] }));
  const outcomes = await runAllLinux(telk, inputs);
  let refused = 0;
  for (let k = 0; k < inputs.length; ++k) {
    const answers = inputs[k];
    const linux = outcomes[k];
    const what = `answers ${JSON.stringify(answers).slice(0, 200)} ${answers.options ?? ''}`;
    // Without the check and with it: the same result file, and no check
    // file without it.
    for (const check of [false, true]) {
      // Options refused are the check's: without it they are not read.
      if (!check && answers.options !== undefined && linux.status !== 0) continue;
      const web = runCore(core, answers, check);
      if (linux.status === 0) {
        assert.strictEqual(web.lines, null, what);
        assert.ok(web.bytes.equals(linux.bytes), `${what}: the bytes differ`);
        assert.ok(web.check.equals(check ? linux.check : Buffer.alloc(0)), `${what}: the check differs`);
        checkPlotRows(core, web.bytes, web.check, what);
      } else {
        assert.strictEqual(linux.status, 1, what);
        assert.ok(web.lines !== null, what);
        assert.strictEqual(web.bytes.length + web.check.length, 0, what);
        // The console stops at the first bad answer; the page says each one.
        assert.strictEqual('telk: ' + web.lines.find((line) => line !== '') + '\n', linux.error, what);
        // The line about the options, split where the page names its field.
        const { option, why } = core.optionError();
        assert.strictEqual(option === '' ? why : `${option}: ${why}`, web.lines[web.lines.length - 1], what);
      }
    }
    if (linux.status !== 0) ++refused;
  }
  assert.ok(refused > runs / 50 && refused < runs / 5, `${refused} refused`);
  console.log(`${runs} random runs and ${inputs.length - runs} with options, checked and not: ` +
              'the same files or error line as Linux ' +
              `(${refused} refused)`);
}

async function compareChart(wasmScan, linuxScan) {
  // The Linux scan runs beside the WebAssembly one.
  const linux = new Promise((resolve, reject) => execFile(linuxScan, (failed, stdout) =>
    (failed ? reject(failed) : resolve(stdout))));
  const out = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'telk-scan-')), 'scan');
  const fd = fs.openSync(out, 'w');
  const wasi = new WASI({ version: 'preview1', stdout: fd, returnOnExit: true });
  const instance = await WebAssembly.instantiate(
    await WebAssembly.compile(fs.readFileSync(wasmScan)), wasi.getImportObject());
  assert.strictEqual(wasi.start(instance), 0);
  fs.closeSync(fd);
  const wasm = fs.readFileSync(out, 'utf8');
  fs.rmSync(path.dirname(out), { recursive: true });
  const lines = (await linux).split('\n');
  assert.ok(lines.length > 190, 'the scan printed its 194 lines');
  wasm.split('\n').forEach((line, i) =>
    assert.strictEqual(line, lines[i], 'the block that ends at that angle, or that x'));
  assert.strictEqual(wasm.split('\n').length, lines.length);
  console.log('chart scan: every friction angle and ratio pair as on Linux');
}

const [mode, ...args] = process.argv.slice(2).map((arg) => (arg.includes("/") ? path.resolve(arg) : arg));
const run = mode === 'answers' ? compareAnswers(args[0], args[1], Number(args[2] || 250))
                               : compareChart(args[0], args[1]);
run.catch((e) => {
  console.error(e.message);
  process.exitCode = 1;
});
