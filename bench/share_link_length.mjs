// For bench.py: the share link the page's "Share" gives for a save file,
// made by the page's own module (web/share_link.js) without a browser, for
// a game on the page's own lists at its usual round pause. Prints, as JSON,
// the length of the link's part from "#" on, and the save file's keys
// gzipped alone, the part of the link that grows with the game.
//
//   node bench/share_link_length.mjs FILE [PAUSE]
import { readFileSync } from 'node:fs';
import { gzipSync } from 'node:zlib';
import { shareLink, splitSave } from '../web/share_link.js';

const [file, pause = '2000'] = process.argv.slice(2);
const save = readFileSync(file, 'utf8');
const { link } = await shareLink({ save, pause, lists: new Map() });
const keys = splitSave(save).keys.map((key) => `${key}\n`).join('');
process.stdout.write(`${JSON.stringify({
  link: link.length,
  keysGzipped: gzipSync(keys, { level: 9 }).length,
})}\n`);
