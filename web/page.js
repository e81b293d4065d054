// The page: the five questions, then the design plot, the table and the
// download, all read from the result file's bytes that the core wrote;
// with the check, on the ground that its options tell of, Bishop's answers
// in the plot, what the check found and the check file's download too.
// The core runs in a worker, which a slow check tells how far it has come
// and Cancel ends.
'use strict';

// The console's questions, in its order, with their units.
const kAskedFor = [['Friction angle φ', 'degree'], ['Cohesion c', 'Tn/m2'], ['Density γ', 'Tn/m3'],
                   ['Height of the talus H', 'm'], ['Definition Δ', 'm']];
const kColours = ['#1b6ca8', '#d1495b', '#2e933c'];

const byId = (id) => document.getElementById(id);

// 1000000 as "1 000 000", as the README writes counts.
const count = (n) => String(n).replace(/\B(?=(\d{3})+(?!\d))/g, '\u2009');

let plot = null;

function showPlot(result) {
  if (plot !== null) plot.destroy();
  const box = byId('plot');
  const { check } = result;
  const angle = (u, v) => (v == null ? '—' : `${v}°`);
  // Checked, the chart's angle under the pointer with Bishop's factor of
  // safety of it; and Bishop's steepest angle on the dashed lines.
  const checkedAngle = (group) => (u, v, series, row) => {
    const fs = row == null ? null : check.fs[group][row];
    return fs == null ? angle(u, v) : `${v}° · FS ${fs.toFixed(3)}`;
  };
  const steepest = (u, v) => (v == null ? '—' : `${v.toFixed(1)}°`);
  const line = (group) => ({ stroke: kColours[group], width: 2, points: { show: false } });
  const series = result.titles.map((label, group) =>
    ({ label, ...line(group), value: check === null ? angle : checkedAngle(group) }));
  if (check !== null) {
    series.push(...result.titles.map((label, group) =>
      ({ label: `Bishop ${label}`, ...line(group), dash: [6, 4], value: steepest })));
  }
  plot = new uPlot({
    width: box.clientWidth,
    height: 360,
    scales: {
      x: { time: false },
      // Room above 90 degrees, where the steep rows' lines run.
      y: { range: (u, min) => [Math.min(0, min ?? 0), 95] },
    },
    // Plain numbers on the axes: "10,000" would read as ten beside the
    // file's decimal commas.
    axes: [{ label: 'Height H [m]', values: (u, ticks) => ticks.map(String) },
           { label: 'Slope angle [degree]', values: (u, ticks) => ticks.map(String), incrs: [15] }],
    series: [{ label: 'H', value: (u, v) => (v == null ? '—' : `${v.toFixed(2)} m`) }, ...series],
    legend: { markers: { dash: (u, i) => (u.series[i].dash ? 'dashed' : 'solid') } },
  }, [result.heights, ...result.angles, ...(check === null ? [] : check.steepest)], box);
}

// What the check found, a line for each factor of safety, those more than
// 2% short of it flagged.
function showCheckLines({ check }) {
  const list = byId('check-lines');
  list.hidden = check === null;
  list.replaceChildren(...(check === null ? [] : check.lines).map(({ line, short }) => {
    const item = document.createElement('li');
    item.textContent = line;
    if (short) item.className = 'short';
    return item;
  }));
}

function showTable({ shown, rows, headerLines }) {
  const table = byId('table');
  table.replaceChildren(...shown.map((cells, n) => {
    const tr = document.createElement('tr');
    // The header's last two lines are the column titles.
    const kind = n === headerLines - 2 || n === headerLines - 1 ? 'th' : 'td';
    for (const text of cells) {
      const cell = tr.appendChild(document.createElement(kind));
      cell.textContent = text;
    }
    if (n >= headerLines) tr.className = 'row';
    return tr;
  }));
  byId('rows').textContent = rows <= kShownRows
    ? `${count(rows)} row${rows === 1 ? '' : 's'}.`
    : `The first ${kShownRows} of ${count(rows)} rows; the download holds them all.`;
}

// The fields of the ground's options, by the option each gives.
const kOptionFields = {
  '--ru': 'ru', '--water': 'behind', '--gamma-w': 'gamma-w', '--base': 'base', '--kh': 'kh', '--kv': 'kv',
  '--crack': 'crack', '--crack-water': 'crack-water', '--load': 'load', '--load-from': 'load-from',
  '--load-width': 'load-width',
};

// A field's name as the page labels it, without its unit: "Unit weight of
// water γw".
function fieldLabel(field) {
  const label = byId(field).labels[0].cloneNode(true);
  label.querySelector('.unit')?.remove();
  return label.textContent.trim();
}

// The core's line about an option, named by the field that gives it, as
// are the other options it names: "Water table behind the toe: "" is not
// a number".
function optionLine({ option, why }) {
  const named = why.replace(/--[a-z-]+/g, (name) =>
    (kOptionFields[name] === undefined ? name : `"${fieldLabel(kOptionFields[name])}"`));
  return `${fieldLabel(kOptionFields[option])}: ${named}`;
}

function markField(field, line) {
  field?.setAttribute('aria-invalid', line === '' ? 'false' : 'true');
}

// The core's lines: one for each question, one about none, and one about
// the options, under the field of the option it is about (optionError, as
// the core splits it).
function showErrors(lines, optionError = { option: '', why: '' }) {
  lines.slice(0, kQuestionCount + 1).forEach((line, question) => {
    byId(`error-${question}`).textContent = line;
    markField(byId(`answer-${question}`), line);
  });
  const about = kOptionFields[optionError.option];
  for (const field of Object.values(kOptionFields)) {
    const line = field === about ? optionLine(optionError) : '';
    byId(`error-${field}`).textContent = line;
    markField(byId(field), line);
  }
  // A line about no field of the page's, as the console says it.
  const options = lines[kQuestionCount + 1] ?? '';
  if (about === undefined && options !== '') byId(`error-${kQuestionCount}`).textContent += options;
}

// The options for the check, as the console takes them after --check.
function groundOptions() {
  const options = [];
  const value = (id) => byId(id).value;
  const water = document.querySelector('input[name="water"]:checked').value;
  if (water === 'ru') options.push('--ru', value('ru'));
  // From the toe, up to the ground's surface N heights behind it.
  if (water === 'table') options.push('--water', `0,0,${value('behind')},1`);
  // A field left at zero is no option, as the console's default.
  for (const option of ['--base', '--kh', '--kv']) {
    const field = kOptionFields[option];
    if (Number(value(field)) !== 0) options.push(option, value(field));
  }
  const crack = document.querySelector('input[name="crack"]:checked').value;
  const crackWater = crack !== 'none' && Number(value('crack-water')) !== 0;
  if (crack !== 'none') options.push('--crack', crack === 'auto' ? 'auto' : value('crack'));
  if (crackWater) options.push('--crack-water', value('crack-water'));
  // Left empty, the console's own: 1 where the density is in Tn/m3.
  if ((water === 'table' || crackWater) && value('gamma-w').trim() !== '') {
    options.push('--gamma-w', value('gamma-w'));
  }
  if (Number(value('load')) !== 0) {
    options.push('--load', value('load'));
    if (Number(value('load-from')) !== 0) options.push('--load-from', value('load-from'));
    if (value('load-width').trim() !== '') options.push('--load-width', value('load-width'));
  }
  return options;
}

// The ground's fields shown with the check alone, and the water's for the
// kind of water chosen.
function showGround() {
  byId('ground').hidden = !byId('check').checked;
  const water = document.querySelector('input[name="water"]:checked').value;
  byId('for-ru').hidden = water !== 'ru';
  for (const id of ['for-behind', 'for-table']) byId(id).hidden = water !== 'table';
  const crack = document.querySelector('input[name="crack"]:checked').value;
  byId('for-crack').hidden = crack !== 'depth';
  byId('for-crack-water').hidden = crack === 'none';
  byId('for-gamma-w').hidden = water !== 'table' && crack === 'none';
}

const base64Bytes = (text) => Uint8Array.from(atob(text), (ch) => ch.charCodeAt(0));
const telkModule = WebAssembly.compile(base64Bytes(kTelkWasm));
// The worker is made of the page's own scripts: the page is one file,
// opened from disk, with no other file to load it from.
const kWorkerAddress = URL.createObjectURL(new Blob(
  ['core', 'result', 'worker'].map((name) => byId(`script-${name}`).text + '\n'),
  { type: 'text/javascript' }));

let worker = null;
let workerReady = null;  // the worker, once it has the core
const waiting = new Map();  // the answers awaited from the worker, by their message's number
let messages = 0;

function startWorker() {
  const started = new Worker(kWorkerAddress);
  worker = started;
  started.onmessage = ({ data }) => {
    if (started !== worker) return;  // a cancelled worker's last words
    if (data.progress !== undefined) {
      byId('progress').hidden = false;
      byId('progress').value = data.progress;
      return;
    }
    const answer = waiting.get(data.id);
    waiting.delete(data.id);
    if (data.error !== undefined) answer?.reject(new Error(data.error));
    else answer?.resolve(data);
  };
  started.onerror = (event) => {
    event.preventDefault();
    for (const { reject } of waiting.values()) reject(new Error(event.message));
    waiting.clear();
  };
  workerReady = telkModule.then((module) => {
    started.postMessage({ module });
    return started;
  });
}

async function ask(message) {
  const to = await workerReady;
  const id = ++messages;
  return new Promise((resolve, reject) => {
    waiting.set(id, { resolve, reject });
    to.postMessage({ id, ...message });
  });
}

// Ends the worker and what it was doing, and starts another.
function cancel() {
  worker.terminate();
  for (const { resolve } of waiting.values()) resolve({ cancelled: true });
  waiting.clear();
  startWorker();
}

// A download is made of the core's blocks when it is asked for, and kept
// until the next calculation: a file of a million rows is copied only for
// the user who takes it.
const downloads = [null, null];  // the object addresses of the result file and the check file
let shown = 0;  // the calculations shown, so that a download asked for before one is not kept
async function save(file, name) {
  const of = shown;
  if (downloads[file] === null) {
    const { blob } = await ask({ download: file });
    if (of !== shown || blob === undefined) return;
    downloads[file] = URL.createObjectURL(blob);
  }
  const link = document.createElement('a');
  link.href = downloads[file];
  link.download = name;
  link.click();
}

async function calculate(event) {
  event.preventDefault();
  const button = byId('calculate');
  if (button.disabled) return;  // Enter again while a sweep runs
  const saveButton = byId('download');
  const saveCheckButton = byId('download-check');
  button.disabled = true;
  saveButton.hidden = true;
  saveCheckButton.hidden = true;
  byId('result').hidden = true;
  showErrors([]);
  byId('status').textContent = 'Calculating…';
  byId('cancel').hidden = false;
  ++shown;
  downloads.forEach((address, file) => {
    if (address !== null) URL.revokeObjectURL(address);
    downloads[file] = null;
  });
  try {
    const started = performance.now();
    const fields = kAskedFor.map((_, question) => byId(`answer-${question}`).value);
    const check = byId('check').checked;
    const answer = await ask({ calculate: { fields, check, options: check ? groundOptions() : [] } });
    if (answer.cancelled) {
      byId('status').textContent = 'Cancelled.';
      return;
    }
    if (answer.lines) {
      showErrors(answer.lines, answer.optionError);
      byId('status').textContent = '';
      return;
    }
    const { result } = answer;
    const [resultName, checkName] = result.names;
    for (const name of document.querySelectorAll('.result-name')) name.textContent = resultName;
    saveButton.onclick = () => save(kResultFile, resultName).catch(showFault);
    saveButton.hidden = false;
    if (result.check !== null) {
      for (const name of document.querySelectorAll('.check-name')) name.textContent = checkName;
      saveCheckButton.onclick = () => save(kCheckFile, checkName).catch(showFault);
      saveCheckButton.hidden = false;
    }
    byId('result').hidden = false;
    showPlot(result);
    showCheckLines(result);
    showTable(result);
    const seconds = (performance.now() - started) / 1000;
    byId('status').textContent = `${count(result.rows)} rows ${result.check === null ? '' : 'checked '}` +
      `in ${seconds.toFixed(2)} s`;
  } catch (e) {
    byId('status').textContent = '';
    showFault(e);
  } finally {
    button.disabled = false;
    byId('cancel').hidden = true;
    byId('progress').hidden = true;
    byId('progress').value = 0;
  }
}

function showFault(e) {
  byId(`error-${kQuestionCount}`).textContent = String(e.message || e);
}

byId('questions').replaceChildren(...kAskedFor.map(([name, unit], question) => {
  const div = document.createElement('div');
  div.className = 'question';
  div.innerHTML = `<label for="answer-${question}"><span>${name} <span class="unit">[${unit}]</span></span></label>` +
    `<input id="answer-${question}" type="text" inputmode="decimal" autocomplete="off" ` +
    `spellcheck="false" aria-describedby="error-${question}">` +
    `<p class="error" id="error-${question}"></p>`;
  return div;
}));
byId('answers').addEventListener('submit', calculate);
byId('cancel').addEventListener('click', cancel);
byId('answers').addEventListener('change', showGround);
showGround();
startWorker();
window.addEventListener('resize', () => {
  if (plot !== null) plot.setSize({ width: byId('plot').clientWidth, height: 360 });
});
