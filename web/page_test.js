// The page in headless Chromium, opened from disk as a user would:
//   node page_test.js <telk.html> <tests dir> <telk> <screenshot.png>
// The known runs give the expected file's first lines in the table, three
// series in the plot and the expected bytes in the download, and checked by
// Bishop's method (on the ground of their options, given in the page's
// fields) three dashed series more, three lines on what the check found and
// the expected check file; bad answers give the console's lines under their
// fields and no table, and bad options the same named by the page's
// fields; a million rows, plain and checked, are ready (the seconds they
// took printed, not bounded: a time on a shared machine is a benchmark's
// figure) and their downloads are the Linux build's files; a slow check
// with water shows its progress, leaves the page live and is cancelled; on
// a phone the page shows its version and is no wider than the screen,
// checked too, with every field of the ground shown.
'use strict';

const assert = require('assert');
const crypto = require('crypto');
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');

const [html, tests, telk, screenshot] = process.argv.slice(2).map((arg) => path.resolve(arg));

// The known runs and their answers, as the end-to-end tests read them.
const knownRuns = fs.readFileSync(path.join(tests, 'e2e', 'known_runs.tsv'), 'utf8').split('\n')
  .filter((line) => line !== '' && !line.startsWith('#'))
  .map((line) => line.split('\t'))
  .map(([name, answers, , options = '']) => ({ name, answers: answers.replace(/\\n/g, '\n').trim().split(/\s+/),
                                              options: options.split(/\s+/).filter((arg) => arg !== '') }));

// The check file a known run is to give: the kept bytes, or for a run
// with the ground's options, whose kept file is only its header, the one
// telk --check writes on this machine.
function expectedCheck(run) {
  if (run.options.length === 0) return fs.readFileSync(path.join(tests, 'e2e', `${run.name}.check.xls`));
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'telk-page-'));
  execFileSync(telk, ['--check', ...run.options],
               { cwd: dir, input: run.answers.join('\n') + '\n', stdio: ['pipe', 'ignore', 'inherit'] });
  const check = fs.readFileSync(path.join(dir, 'TELK_check.xls'));
  fs.rmSync(dir, { recursive: true });
  return check;
}

// The file's lines as the table shows them: cells split at the tabs that
// end them.
function fileLines(bytes) {
  return new TextDecoder('windows-1252').decode(bytes).split('\r\n').slice(0, -1)
    .map((line) => line.split('\t'))
    .map((cells) => (cells.length > 1 && cells[cells.length - 1] === '' ? cells.slice(0, -1) : cells));
}

// The page's fields of the ground set as the console's options after
// --check say: --water only as the page gives it, from the toe to the
// surface N heights behind it.
async function setGround(page, options) {
  const given = Object.fromEntries(options.flatMap((arg, i) => (arg.startsWith('--') ? [[arg, options[i + 1]]] : [])));
  const behind = given['--water']?.match(/^0,0,(.*),1$/)?.[1];
  assert.ok(given['--water'] === undefined || behind !== undefined, `not the page's water: ${options}`);
  const water = given['--ru'] !== undefined ? 'ru' : behind !== undefined ? 'table' : 'dry';
  await page.check(`input[name="water"][value="${water}"]`);
  if (water === 'ru') await page.fill('#ru', given['--ru']);
  if (water === 'table') await page.fill('#behind', behind);
  const crack = given['--crack'] === undefined ? 'none' : given['--crack'] === 'auto' ? 'auto' : 'depth';
  await page.check(`input[name="crack"][value="${crack}"]`);
  if (crack === 'depth') await page.fill('#crack', given['--crack']);
  if (crack !== 'none') await page.fill('#crack-water', given['--crack-water'] ?? '0');
  if (water === 'table' || given['--crack-water'] !== undefined) await page.fill('#gamma-w', given['--gamma-w'] ?? '');
  for (const field of ['base', 'kh', 'kv', 'load', 'load-from']) await page.fill(`#${field}`, given[`--${field}`] ?? '0');
  await page.fill('#load-width', given['--load-width'] ?? '');
}

async function calculate(page, answers, { enter = false, check = false, options = [] } = {}) {
  for (let i = 0; i < 5; ++i) await page.fill(`#answer-${i}`, answers[i]);
  await page.setChecked('#check', check);
  if (check) await setGround(page, options);
  const started = Date.now();
  if (enter) await page.press('#answer-4', 'Enter');
  else await page.click('#calculate');
  await page.waitForFunction(() => !document.getElementById('calculate').disabled &&
                                   document.getElementById('status').textContent !== 'Calculating…');
  return (Date.now() - started) / 1000;
}

async function downloaded(page, { check = false } = {}) {
  const [download] = await Promise.all([page.waitForEvent('download'),
                                        page.click(check ? '#download-check' : '#download')]);
  assert.strictEqual(download.suggestedFilename(), check ? 'TELK_check.xls' : 'TELK_result.xls');
  return fs.readFileSync(await download.path());
}

// The plot's series: their labels, colours and dashes.
const plotSeries = (page) => page.evaluate(() => plot.series.map((series, i) =>
  [series.label, i === 0 ? null : series.stroke(plot, i), series.dash ?? null]));
const legendValues = (page) => page.$$eval('#plot .u-legend .u-value', (values) =>
  values.map((value) => value.textContent));

const sha256 = (bytes) => crypto.createHash('sha256').update(bytes).digest('hex');

async function knownRunsGiveTheirFiles(page) {
  for (const [k, run] of knownRuns.entries()) {
    await calculate(page, run.answers, { enter: k === 0 });
    const expected = fs.readFileSync(path.join(tests, 'e2e', `${run.name}.xls`));
    const lines = fileLines(expected);
    const table = await page.$$eval('#table tr', (rows) =>
      rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
    assert.deepStrictEqual(table, lines.slice(0, table.length), run.name);
    assert.strictEqual(table.length, Math.min(lines.length, 106), run.name);
    assert.match(await page.textContent('#rows'), new RegExp(`^${lines.length - 6} rows?\\.$`), run.name);
    const legend = await page.$$eval('#plot .u-legend .u-series .u-label', (labels) =>
      labels.map((label) => label.textContent));
    assert.deepStrictEqual(legend, ['H', 'FS 1.0', 'FS 1.3', 'FS 1.5'], run.name);
    assert.ok((await downloaded(page)).equals(expected), `${run.name}: the download differs`);
    assert.ok(await page.isHidden('#download-check') && await page.isHidden('#check-lines'), run.name);
    // The values of the point under the pointer: the row of 10 m.
    const pointAt10m = async () => {
      const box = await page.locator('#plot .u-over').boundingBox();
      await page.mouse.move(0, 0);  // the pointer comes in again over the plot
      await page.mouse.move(box.x + box.width * (10 - 2.5) / 17.5, box.y + box.height / 2);
    };
    if (run.name === 'phi35_h20_d2.5') {
      await pointAt10m();
      assert.deepStrictEqual(await legendValues(page), ['10.00 m', '55°', '44°', '36°']);
    }

    // Checked: the same table and file, the check file, a dashed line of
    // Bishop's steepest angle beside each solid one, and three lines.
    await calculate(page, run.answers, { check: true, options: run.options });
    const checkExpected = expectedCheck(run);
    assert.ok((await downloaded(page, { check: true })).equals(checkExpected), `${run.name}: the check differs`);
    assert.ok((await downloaded(page)).equals(expected), `${run.name}: the checked download differs`);
    const series = await plotSeries(page);
    assert.deepStrictEqual(series.slice(1).map(([label, , dash]) => [label, dash]),
      [...['FS 1.0', 'FS 1.3', 'FS 1.5'].map((label) => [label, null]),
       ...['FS 1.0', 'FS 1.3', 'FS 1.5'].map((label) => [`Bishop ${label}`, [6, 4]])], run.name);
    series.slice(1, 4).forEach(([, colour], i) => assert.strictEqual(series[4 + i][1], colour, run.name));
    const found = await page.$$eval('#check-lines li', (items) => items.map((item) => item.textContent));
    assert.strictEqual(found.length, 3, run.name);
    found.forEach((line, i) => assert.ok(line.startsWith(['FS 1.0: ', 'FS 1.3: ', 'FS 1.5: '][i]), line));
    if (run.name === 'phi35_h20_d2.5') {
      // The whole page in view, so that the screenshot resizes nothing,
      // which would lose the pointer.
      const height = await page.evaluate(() => document.documentElement.scrollHeight);
      await page.setViewportSize({ width: 1000, height });
      // The chart's angles with Bishop's factor of safety of them, then
      // Bishop's steepest angles: the check file's row of 10 m.
      await pointAt10m();
      const row = fileLines(checkExpected).find((cells) => cells[0].trim() === '10,00');
      const number = (cell) => cell.replace(',', '.');
      // Where the core places each group's numbers in a check row.
      const [angles, fs, steepest] = await page.evaluate(async () => {
        const core = await loadTelk(base64Bytes(kTelkWasm));
        return [kAngle, kBishopFs, kSteepest].map((what) =>
          core.groupTitles().map((_, group) => core.cell(kCheckFile, what, group)));
      });
      assert.deepStrictEqual(await legendValues(page), ['10.00 m',
        ...angles.map((c, group) => `${row[c]}° · FS ${number(row[fs[group]])}`),
        ...steepest.map((c) => `${number(row[c])}°`)]);
      await page.screenshot({ path: screenshot });
      await page.setViewportSize({ width: 1000, height: 800 });
    }
  }
  console.log(`${knownRuns.length} known runs: table, plot and download as expected, and checked ` +
              'the check file, dashed lines and three lines on it');
}

async function badAnswersSayWhy(page) {
  const drift = 'definition: 0.01 m steps drift off their heights from 109.58 m on, in single ' +
    'precision; use a shorter height or a coarser definition (0.125, 0.25 and 0.5 add up exactly)';
  const cases = [
    [['3,5', '1', '2.2', '20', '2.5'],
     { 0: 'friction angle: "3,5" is not a number (type it with a decimal point)' }],
    [['35', 'abc', '2.2', '1e39', ' 2.5 '],
     { 1: 'cohesion: "abc" is not a number',
       3: 'height: "1e39" is beyond the range of single-precision numbers' }],
    [['35', '1', '2.2', '3 5', ''],
     { 3: 'height: "3 5" is not a number', 4: 'definition: "" is not a number' }],
    [['35', '1', '2.2', '1000', '0.01'], { 4: drift }],
    [['35', '1', '2.2', '21474836', '0.01'],
     { 3: 'height: 21474836 m in steps of 0.01 m is more than 2147483647 rows' }],
  ];
  // Bad options, as the page's fields give them: under the option's field,
  // the line telk --check refuses it with, named by the field as the page
  // labels it, as are the other options it names.  A water table on a
  // density above 4 with no unit weight of water is refused, as not in
  // Tn/m3.
  const optionCases = [
    [['35', '1', '2.2', '20', '2.5'], ['--ru', '1.5'], 'ru',
     'Pore-pressure ratio ru: "1.5" is 1 or more: the soil would float'],
    [['35', '1', '2.2', '20', '2.5'], ['--water', '0,0,abc,1', '--gamma-w', '1'], 'behind',
     'Water table behind the toe: "abc" is not a number'],
    [['35', '1', '9.81', '20', '2.5'], ['--water', '0,0,4,1'], 'behind',
     'Water table behind the toe: a unit weight above 4 is not in Tn/m3: give "Unit weight of ' +
     'water γw", the unit weight of water in the same units (9.81 for kN/m3)'],
    [['35', '1', '2.2', '20', '2.5'], ['--water', '0,0,4,1', '--gamma-w', '0'], 'gamma-w',
     'Unit weight of water γw: "0" is not above 0'],
    [['35', '1', '2.2', '20', '2.5'], ['--base', '-1'], 'base', 'Firm base below the toe: "-1" is below 0'],
    [['35', '1', '2.2', '20', '2.5'], ['--kh', '1'], 'kh', 'Earthquake, horizontal kh: "1" is 1 or more'],
    [['35', '1', '2.2', '20', '2.5'], ['--crack', '1', '--crack-water', '2'], 'crack-water',
     'Crack filled with water: "2" is above 1: the crack holds no more than its depth'],
    [['35', '1', '2.2', '20', '2.5'], ['--load', '5', '--load-width', '0'], 'load-width',
     'Load width: "0" is not above 0'],
    // Water beyond the range where every system gives the same bytes.
    [['35', '1', '2.2', '20', '2.5'], ['--ru', '0.9999'], 'ru',
     'Pore-pressure ratio ru: "0.9999" is above 0.9: the soil would all but float'],
    [['35', '1', '2.2', '20', '2.5'], ['--water', '0,0,4,1', '--gamma-w', '1e10'], 'gamma-w',
     'Unit weight of water γw: the unit weight of water is above the soil\'s: the soil would float'],
  ];
  for (const [answers, options, field, line] of optionCases) {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'telk-page-'));
    const run = spawnSync(telk, ['--check', ...options], { cwd: dir, input: answers.join('\n') + '\n', encoding: 'utf8' });
    fs.rmSync(dir, { recursive: true });
    // Refused by the console too, in one line about an option.
    assert.strictEqual(run.status, 1, options.join(' '));
    assert.match(run.stderr, /^telk: --[a-z-]+: [^\n]*\n$/, options.join(' '));
    cases.push([answers, { [field]: line }, options]);
  }
  // The page's own field: the table's surface is one number of heights
  // behind the toe (not a list that would add points), and behind it.
  for (const [behind, why] of [['', '"" is not a number'],
                               ['1,0.5,2', '"1,0.5,2" is not a number (type it with a decimal point)'],
                               ['0', '"0" is not above 0']]) {
    cases.push([['35', '1', '2.2', '20', '2.5'], { behind: `Water table behind the toe: ${why}` },
                ['--water', `0,0,${behind},1`]]);
  }
  for (const [answers, errors, options = []] of cases) {
    await calculate(page, ['35', '1', '2.2', '20', '2.5']);  // a table first, which must go
    await calculate(page, answers, { check: options.length > 0, options });
    // Every line shown, by the field it is under.
    const shown = await page.$$eval('.error', (lines) =>
      lines.filter((line) => line.textContent !== '').map((line) => [line.id, line.textContent]));
    assert.deepStrictEqual(shown, Object.entries(errors).map(([field, line]) => [`error-${field}`, line]),
                           `${answers.join(' ')} ${options.join(' ')}`);
    assert.ok(await page.isHidden('#result'), 'no table');
    assert.ok(await page.isHidden('#download'), 'no download');
  }
  console.log(`${cases.length} bad answers and options: their lines under their fields, no table`);
}

// A million rows, and checked a million rows; the downloads are compared
// with the files of telk --check.  The seconds each took are printed, as
// a figure to watch rather than a bound that a busy machine would break.
async function aMillionRowsAndTheirFiles(page) {
  const answers = ['35', '1', '2.2', '125000', '0.125'];
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'telk-page-'));
  execFileSync(telk, ['--check'], { cwd: dir, input: answers.join('\n') + '\n', stdio: ['pipe', 'ignore', 'inherit'] });
  const linux = fs.readFileSync(path.join(dir, 'TELK_result.xls'));
  const linuxCheck = fs.readFileSync(path.join(dir, 'TELK_check.xls'));
  fs.rmSync(dir, { recursive: true });
  for (const check of [false, true]) {
    const seconds = await calculate(page, answers, { check });
    assert.match(await page.textContent('#rows'), /of 1\u2009000\u2009000 rows/);
    const started = Date.now();
    const file = await downloaded(page);
    const saving = (Date.now() - started) / 1000;
    assert.strictEqual(file.length, linux.length);
    assert.strictEqual(sha256(file), sha256(linux), 'the download is the Linux build\'s file');
    console.log(`1 000 000 rows (${file.length} bytes) computed, ${check ? 'checked, ' : ''}plotted and ` +
                `ready to download in ${seconds.toFixed(2)} s; the download took ${saving.toFixed(2)} s ` +
                'more and is the Linux build\'s file');
    if (!check) continue;
    const checkFile = await downloaded(page, { check: true });
    assert.strictEqual(checkFile.length, linuxCheck.length);
    assert.strictEqual(sha256(checkFile), sha256(linuxCheck), 'the check download is telk --check\'s file');
    // At 125000 m the chart's FS 1.3 angle is more than 2% short, and at
    // 129.75 m its FS 1.0 angle (0.979 at least).
    assert.deepStrictEqual(await page.$$eval('#check-lines li', (items) =>
      items.map((item) => item.className)), ['short', 'short', '']);
    console.log(`  and the check file (${checkFile.length} bytes) is telk --check's`);
  }
}

// A check with water solves the slope of every row: a million rows take
// long enough to see its progress, with the page live, and to cancel it;
// then the next calculation runs, in a new worker.
async function aSlowCheckShowsProgressAndIsCancelled(page) {
  const answers = ['35', '1', '2.2', '125000', '0.125'];
  for (let i = 0; i < 5; ++i) await page.fill(`#answer-${i}`, answers[i]);
  await page.setChecked('#check', true);
  await setGround(page, ['--ru', '0.25']);
  await page.click('#calculate');
  const progress = () => page.$eval('#progress', (bar) => (bar.hidden ? -1 : bar.value));
  // Each hundredth of the height is some nodes of the solver: on a busy
  // machine, more than the default half minute.
  const slow = { timeout: 300000 };
  await page.waitForFunction(() => document.getElementById('progress').value >= 0.01, undefined, slow);
  const first = await progress();
  await page.waitForFunction((seen) => document.getElementById('progress').value > seen, first, slow);
  // The page answers while the check runs: the status is read before the
  // check ends, and the progress goes on after it.
  const started = Date.now();
  assert.strictEqual(await page.textContent('#status'), 'Calculating…', 'the page is live');
  const answered = Date.now() - started;
  const read = await progress();
  await page.waitForFunction((seen) => document.getElementById('progress').value > seen, read, slow);
  assert.ok(await page.isVisible('#cancel') && await page.isDisabled('#calculate'));
  await page.click('#cancel');
  await page.waitForFunction(() => !document.getElementById('calculate').disabled);
  assert.strictEqual(await page.textContent('#status'), 'Cancelled.');
  assert.ok(await page.isHidden('#result') && await page.isHidden('#download') && await page.isHidden('#cancel'));
  assert.strictEqual(await progress(), -1);
  const run = knownRuns.find(({ name }) => name === 'phi35_h20_d2.5_ru');
  await calculate(page, run.answers, { check: true, options: run.options });
  assert.ok((await downloaded(page, { check: true })).equals(expectedCheck(run)), 'after a cancel, the check file');
  console.log(`a check with water: progress shown (${first.toFixed(2)} and on), the page live ` +
              `(it answered in ${answered} ms), cancelled; then the next check as expected`);
}

// On a phone 390 px wide, with a result shown: the version in the corner,
// the same as telk --version says, beside the title, and nothing wider
// than the screen.
async function onAPhoneTheVersionShowsAndNothingScrollsSideways(browser) {
  const page = await browser.newPage({ viewport: { width: 390, height: 844 } });
  await page.goto(`file://${html}`);
  await calculate(page, ['35', '1', '2.2', '20', '2.5'], { check: true, options: ['--water', '0,0,4,1'] });
  assert.ok(await page.isVisible('#download-check') && await page.isVisible('#check-lines'), 'checked');
  assert.ok(await page.isVisible('#gamma-w') && await page.isVisible('#base'), 'the ground\'s fields');
  assert.strictEqual(await page.textContent('#version') + '\n',
                     execFileSync(telk, ['--version'], { encoding: 'utf8' }));
  const version = await page.locator('#version').boundingBox();
  const titleEnd = await page.evaluate(() => {
    const text = document.createRange();
    text.selectNodeContents(document.querySelector('h1'));
    return text.getBoundingClientRect().right;
  });
  assert.ok(version.x > titleEnd && version.x + version.width <= 390, 'the version beside the title');
  assert.strictEqual(await page.evaluate(() => document.documentElement.scrollWidth), 390, 'no sideways scrolling');
  await page.close();
  console.log('on a phone: the version in the corner, nothing wider than the screen, checked too');
}

(async () => {
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    const page = await browser.newPage({ viewport: { width: 1000, height: 800 }, acceptDownloads: true });
    const faults = [];
    page.on('pageerror', (e) => faults.push(e.message));
    page.on('requestfailed', (request) => faults.push(`fetched ${request.url()}`));
    page.on('request', (request) => {
      if (!request.url().startsWith('file:') && !request.url().startsWith('blob:')) {
        faults.push(`fetched ${request.url()}`);
      }
    });
    await page.goto(`file://${html}`);
    await knownRunsGiveTheirFiles(page);
    await badAnswersSayWhy(page);
    await aMillionRowsAndTheirFiles(page);
    await aSlowCheckShowsProgressAndIsCancelled(page);
    await onAPhoneTheVersionShowsAndNothingScrollsSideways(browser);
    assert.deepStrictEqual(faults, [], 'no script errors and nothing fetched');
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.error(e.message);
  process.exitCode = 1;
});
