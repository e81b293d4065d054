// Builds telk.html: the page with its styles, its scripts, the plotting
// library and the WebAssembly core inlined, so that it opens from disk and
// fetches nothing.
//   node build_page.js <telk_web.wasm> <telk.html> <version>
// Its bytes are those of its inputs alone: no date, no path, no order
// that could change between two builds.
'use strict';

const fs = require('fs');
const path = require('path');

const [wasm, out, version] = process.argv.slice(2);
// Shown as it is in the page: letters, digits and . + - only.
if (!/^[0-9A-Za-z.+-]+$/.test(version ?? '')) throw new Error(`not a version: ${version}`);
const read = (name) => fs.readFileSync(path.join(__dirname, name), 'utf8');
const uplot = 'node_modules/uplot';

const licence = read(`${uplot}/LICENSE`);
// Each with its id; the worker's, which the page makes its worker of with
// the core's and the result reader's, is not run in the page.
const scripts = [
  ['uplot', read(`${uplot}/dist/uPlot.iife.min.js`)],
  ['wasm', `'use strict';\nconst kTelkWasm = '${fs.readFileSync(wasm).toString('base64')}';\n`],
  ['core', read('core.js')],
  ['result', read('result.js')],
  ['worker', read('worker.js')],
  ['page', read('page.js')],
];
if (licence.includes('-->') || scripts.some(([, script]) => /<\/script/i.test(script))) {
  throw new Error('an inlined part would end its element early');
}
const parts = {
  '/* version */': version,  // first, before any inlined text is in the page
  '/* styles */': read(`${uplot}/dist/uPlot.min.css`) + read('page.css'),
  '/* licence */': licence,
  // Each its own script, so that each is strict as it says; what one
  // declares at the top, the next ones see.
  '<!-- scripts -->': scripts.map(([id, script]) =>
    `<script id="script-${id}"${id === 'worker' ? ' type="text/plain"' : ''}>\n${script}</script>`).join('\n'),
};
let html = read('page.html');
for (const [mark, text] of Object.entries(parts)) {
  if (!html.includes(mark)) throw new Error(`page.html lacks ${mark}`);
  html = html.replace(mark, () => text);
}
fs.writeFileSync(out, html);
