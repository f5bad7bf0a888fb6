// Loaded with `node --require` into the Node runner by the end-to-end tests,
// as pause_shim.cpp is preloaded into the native game: every timer's
// requested length is appended to the file PAUSE_SHIM_LOG names (in
// milliseconds, one per line), and the timer fires after PAUSE_SHIM_MS
// milliseconds instead (0 when unset). The game itself is unchanged.
'use strict';
const fs = require('fs');

const realSetTimeout = global.setTimeout;
const shortened = Number.parseInt(process.env.PAUSE_SHIM_MS || '0', 10) || 0;
const log = process.env.PAUSE_SHIM_LOG;

global.setTimeout = function countedTimeout(callback, milliseconds, ...rest) {
  if (log) {
    fs.appendFileSync(log, `${Math.trunc(Number(milliseconds) || 0)}\n`);
  }
  return realSetTimeout(callback, shortened, ...rest);
};
