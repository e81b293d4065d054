// The page's worker: the core runs here, off the page's thread, so that
// the page stays live through a check of seconds, shows how far it has
// come, and stops it by ending the worker.  The page makes it of the
// core's, the result reader's and this script's text, and talks to it in
// messages:
//   to it:    { module } first, the core compiled; then
//             { id, calculate: { fields, check, options } } or { id, download: file }
//   from it:  { progress: share } while a slow check runs, and for each id
//             { id, lines, optionError } (the console's lines for the
//             answers, and the one about the options in two), or
//             { id, result } (the plot's and the table's numbers, and the
//             files' names), or { id, blob } (a file), or { id, error }
'use strict';

let telkReady = null;

onmessage = async ({ data }) => {
  if (data.module !== undefined) {
    telkReady = loadTelk(data.module, (share) => postMessage({ progress: share })).then((telk) => {
      // A short sweep at once, so that the browser optimises the core's
      // busy functions while the questions are answered: a long sweep
      // would run all its rows in the quickly compiled first code it
      // started in.
      telk.calculate(['35', '1', '2.2', '2500', '0.125']);
      telk.calculate(['35', '1', '2.2', '2500', '0.125'], true);  // and the check's
      return telk;
    });
    return;
  }
  try {
    const telk = await telkReady;
    if (data.download !== undefined) {
      // The bytes copied once, into the Blob, and only for a download.
      const blob = new Blob(telk.fileBlocks(data.download), { type: 'application/vnd.ms-excel' });
      postMessage({ id: data.id, blob });
      return;
    }
    const { fields, check, options } = data.calculate;
    const lines = telk.calculate(fields, check, options);
    if (lines !== null) {
      postMessage({ id: data.id, lines, optionError: telk.optionError() });
      return;
    }
    const names = [telk.resultName(), telk.checkName()];
    postMessage({ id: data.id, result: { ...readResult(telk), names } });
  } catch (e) {
    postMessage({ id: data.id, error: String(e.message || e) });
  }
};
