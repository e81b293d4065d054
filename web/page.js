// The page: the five questions, then the design plot, the table and the
// download, all read from the result file's bytes that the core wrote;
// with the check, Bishop's answers in the plot, what the check found and
// the check file's download too.
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

function showErrors(lines) {
  lines.forEach((line, question) => {
    byId(`error-${question}`).textContent = line;
    const field = byId(`answer-${question}`);
    if (field !== null) field.setAttribute('aria-invalid', line === '' ? 'false' : 'true');
  });
}

const base64Bytes = (text) => Uint8Array.from(atob(text), (ch) => ch.charCodeAt(0));
// A short sweep at once, so that the browser optimises the core's busy
// functions while the questions are answered: a long sweep would run all
// its rows in the quickly compiled first code it started in.
const telkReady = loadTelk(base64Bytes(kTelkWasm)).then((telk) => {
  telk.calculate(['35', '1', '2.2', '2500', '0.125']);
  telk.calculate(['35', '1', '2.2', '2500', '0.125'], true);  // and the check's
  return telk;
});

// A download is made of the core's blocks when it is asked for, and kept
// until the next calculation: a file of a million rows is copied only for
// the user who takes it.
const downloads = [null, null];  // the object addresses of the result file and the check file
function save(telk, file) {
  if (downloads[file] === null) {
    downloads[file] = URL.createObjectURL(new Blob(telk.fileBlocks(file), { type: 'application/vnd.ms-excel' }));
  }
  const link = document.createElement('a');
  link.href = downloads[file];
  link.download = file === kCheckFile ? telk.checkName() : telk.resultName();
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
  showErrors(['', '', '', '', '', '']);
  byId('status').textContent = 'Calculating…';
  downloads.forEach((address, file) => {
    if (address !== null) URL.revokeObjectURL(address);
    downloads[file] = null;
  });
  // Let the status show before a long sweep holds the page.
  await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
  try {
    const telk = await telkReady;
    const started = performance.now();
    const fields = kAskedFor.map((_, question) => byId(`answer-${question}`).value);
    const lines = telk.calculate(fields, byId('check').checked);
    if (lines !== null) {
      showErrors(lines);
      byId('status').textContent = '';
      return;
    }
    const result = readResult(telk);
    for (const name of document.querySelectorAll('.result-name')) name.textContent = telk.resultName();
    saveButton.onclick = () => save(telk, kResultFile);
    saveButton.hidden = false;
    if (result.check !== null) {
      for (const name of document.querySelectorAll('.check-name')) name.textContent = telk.checkName();
      saveCheckButton.onclick = () => save(telk, kCheckFile);
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
    byId('error-5').textContent = String(e.message || e);
  } finally {
    button.disabled = false;
  }
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
window.addEventListener('resize', () => {
  if (plot !== null) plot.setSize({ width: byId('plot').clientWidth, height: 360 });
});
