// Reading the result file that the core wrote: the first lines' cells for
// the table, and the plot's points from the rows it needs; and after a
// check, the check file's values at the same rows and the lowest lines.
'use strict';

const kShownRows = 100;  // the table shows the first rows at once

// A cell of the file as a number: " 12,50" is 12.5, "87" is 87, and an
// empty cell is null.
function cellNumber(bytes, from, to) {
  let i = from;
  while (i < to && bytes[i] === 0x20) ++i;
  const sign = i < to && bytes[i] === 0x2d ? -1 : 1;
  if (sign < 0) ++i;
  if (i === to) return null;
  let whole = 0;
  for (; i < to && bytes[i] !== 0x2c; ++i) whole = whole * 10 + bytes[i] - 0x30;
  let hundredths = 0;
  let scale = 1;
  for (++i; i < to; ++i, scale *= 10) hundredths = hundredths * 10 + bytes[i] - 0x30;
  return sign * (whole + hundredths / scale);
}

// Each cell of a plot row as a number, in turn: fn(cell, number).
function eachCell(row, fn) {
  for (let i = 0, from = 0, cell = 0; i < row.length; ++i) {
    if (row[i] !== 0x09) continue;
    fn(cell++, cellNumber(row, from, i));
    from = i + 1;
  }
}

// The cells of one line, as text; each cell of a row ends in a tab.
function lineCells(text) {
  const cells = text.replace(/\r$/, '').split('\t');
  if (cells.length > 1 && cells[cells.length - 1] === '') cells.pop();
  return cells;
}

// The numbers of the plot rows of `file` into series: each [what, group,
// values] takes the number the core places at that cell.
function plotSeries(telk, file, series) {
  const at = new Map();
  for (const [what, group, values] of series) {
    const cell = telk.cell(file, what, group);
    if (cell !== null) at.set(cell, values);
  }
  for (const row of telk.plotRows(file)) eachCell(row, (cell, value) => at.get(cell)?.push(value));
}

function readResult(telk) {
  const decoder = new TextDecoder('windows-1252');
  const headerLines = telk.headerLines(kResultFile);
  const wanted = headerLines + kShownRows;
  const shown = [];
  let partial = '';  // a line that a block cut
  for (const block of telk.fileBlocks()) {
    let cut = 0;
    for (let line = shown.length; line < wanted && cut < block.length; ++line) {
      const end = block.indexOf(0x0a, cut);
      cut = end < 0 ? block.length : end + 1;
    }
    const lines = (partial + decoder.decode(block.subarray(0, cut))).split('\n');
    partial = lines.pop();
    shown.push(...lines.map(lineCells));
    if (shown.length >= wanted) break;
  }
  // The plot: each row's height and the chart's angle of each group; after
  // a check, at the same rows, Bishop's factor of safety of the chart's
  // angle and Bishop's steepest angle of each group.
  const titles = telk.groupTitles();
  const perGroup = () => titles.map(() => []);
  const heights = [];
  const angles = perGroup();
  plotSeries(telk, kResultFile, [[kHeight, 0, heights], ...angles.map((v, g) => [kAngle, g, v])]);
  const lines = telk.checkLines();
  const check = lines === null ? null : { lines, fs: perGroup(), steepest: perGroup() };
  if (check !== null) {
    plotSeries(telk, kCheckFile, [...check.fs.map((v, g) => [kBishopFs, g, v]),
                                  ...check.steepest.map((v, g) => [kSteepest, g, v])]);
  }
  // The plot's heights go upward; a sweep of negative heights goes down.
  if (heights.length > 1 && heights[0] > heights[heights.length - 1]) {
    heights.reverse();
    [...angles, ...(check === null ? [] : [...check.fs, ...check.steepest])]
      .forEach((series) => series.reverse());
  }
  return { rows: telk.rows(), headerLines, titles, shown, heights, angles, check };
}

if (typeof module !== 'undefined') module.exports = { readResult };
