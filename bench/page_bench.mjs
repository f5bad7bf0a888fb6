// The browser page's figures, in Debian's headless Chromium: load to the
// first "Your Choice: " (median of --runs fresh tabs) from file:// on the
// desktop, and as a slow phone (a Pixel 7: its screen, touch and 2.625
// device pixels per CSS pixel, with the page served gzipped, as static
// hosts serve it, by a server on 127.0.0.1 that this script starts and
// stops, Chromium's processor slowed 4 times and its network throttled to
// 1.6 Mbit/s down with 150 ms latency), each beside its floor: a page built
// here from the same pinned xterm.js by the same esbuild (floor_page.mjs)
// that prints the game's first screen and nothing else, loaded in turn with
// it; and where the page's time goes (the marks wasm_loader.js sets, the
// terminal's element appearing, the first prompt on screen). Then the HTML's
// size, raw and gzipped; the memory after a fight (JS heap after a
// collection, plus the module's wasm memory), and the processor time of all
// of Chromium's processes while the page idles 3 s at a question next to an
// empty page (medians of three). Beside the load times stand those of the
// page before: measured in turn with --before OLD.html (a page built from an
// older commit), else the desktop's as measured once. And, as a Pixel 7 at
// full speed, the load time and the terminal's font size and columns. And
// a saved game of at least 600 fights (played by the Node runner with
// --batch --save): the time the page takes to continue it from "Open a save
// file" to its main menu (median of five), its save file's bytes per fight,
// and the length of its share link.
//
//   node bench/page_bench.mjs build-web/brawlarium.html [--runs 10] [--before OLD.html]
//
// The first screen comes from the game module beside the page
// (build-web/brawlarium.js). Needs the page's npm packages (web/node_modules,
// installed by the web build).
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync, writeFileSync, mkdtempSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { gzipSync } from 'node:zlib';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { devices, launchChromium } from '../web/test/chromium.mjs';
import { play, waitForText, waitUntil as waitUntilState } from '../web/test/page_driver.mjs';
import { shareLink } from '../web/share_link.js';

const IdleSeconds = 3;
const SettleSeconds = 5;
const IdleRounds = 5;
const Seed = '7';
// A phone on a slow mobile connection, as Chromium's DevTools emulate one.
const Phone = { cpuSlowdown: 4, latencyMs: 150, downBitsPerSecond: 1.6e6, upBitsPerSecond: 750e3 };
// The page before: bundled by regular expressions, its game built with
// Asyncify throughout at -O3 (commit 681e602), measured by this script on
// the same machine (its slow phone then had a desktop's window).
const Before = { desktopMs: 163, bytes: 1081259, gzipped: 317982 };
// How many times the floor's load time the page may take.
const Goals = { desktop: 1.15, phone: 1.4 };
const WebFolder = fileURLToPath(new URL('../web/', import.meta.url));
const FloorEntry = fileURLToPath(new URL('floor_page.mjs', import.meta.url));
// What the page's load passes through, in order, as the bench reads them:
// the marks wasm_loader.js sets and those the bench sets itself.
const Steps = [
  ['parsed', 'HTML parsed'],
  ['bench:terminal', 'terminal'],
  ['brawlarium:wasm-compiled', 'wasm unpacked and compiled'],
  ['brawlarium:wasm-instantiated', 'instantiated'],
  ['brawlarium:game-waiting', 'game at its first question'],
  ['shown', 'first prompt on screen'],
];
// The spans between the page's steps that the floor does not have.
const Spans = [
  ['unpacking and compiling the wasm', 'brawlarium:wasm-unpacking', 'brawlarium:wasm-compiled'],
  ['instantiating it', 'brawlarium:wasm-instantiating', 'brawlarium:wasm-instantiated'],
  ['the game\'s start to its first question', 'brawlarium:wasm-instantiated', 'brawlarium:game-waiting'],
  ['drawing the first prompt', 'brawlarium:game-waiting', 'shown'],
];

const args = process.argv.slice(2);
const runsAt = args.indexOf('--runs');
const runs = runsAt >= 0 ? Number(args[runsAt + 1]) : 10;
const beforeAt = args.indexOf('--before');
const beforePath = beforeAt >= 0 ? resolve(args[beforeAt + 1]) : null;
const pagePath = resolve(args.find((arg, at) => !arg.startsWith('--') && !['--runs', '--before'].includes(args[at - 1]))
  ?? 'build-web/brawlarium.html');

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const mib = (bytes) => `${(bytes / 1048576).toFixed(2)} MiB`;
const kib = (bytes) => `${(bytes / 1024).toFixed(0)} KiB`;
const seconds = (ms) => `${(ms / 1000).toFixed(2)} s`;
const range = (values, format) => `${format(Math.min(...values))}..${format(Math.max(...values))}`;

const waitUntil = (page, state, timeout = 60000) => waitUntilState(page, state, timeout, 20);

// What the game writes until it first waits for an answer, as the page's
// terminal receives it: the module beside the page run in Node with the
// page's host and the page's command line for the seed.
async function firstScreen(modulePath) {
  const createBrawlarium = createRequire(import.meta.url)(modulePath);
  const decoder = new TextDecoder();
  let written = '';
  const never = () => new Promise(() => {});
  await new Promise((done, failed) => {
    createBrawlarium({
      arguments: ['--seed', Seed, '--pause', '2000'],
      host: {
        isTerminal: true,
        environment: { TERM: 'xterm-256color' },
        write: (stream, bytes) => { written += decoder.decode(bytes, { stream: true }); },
        readAnswers: () => { done(); return never(); },
        readKey: () => { failed(new Error('the game waited for a key before its first question')); return never(); },
        setTitle: () => {},
        restoreTitle: () => {},
        pause: never,
      },
      onExit: (status) => failed(new Error(`the game ended with status ${status} before its first question`)),
    });
  });
  return written;
}

// The floor page: floor_page.mjs and xterm.js's style sheet bundled by the
// page's esbuild into one HTML file, with the first screen in a data block.
async function buildFloorPage(screen, folder) {
  const esbuild = createRequire(join(WebFolder, 'package.json'))('esbuild');
  const options = { bundle: true, minify: true, write: false, legalComments: 'none', logLevel: 'error',
    nodePaths: [join(WebFolder, 'node_modules')] };
  const bundle = async (entry, more = {}) =>
    (await esbuild.build({ ...options, entryPoints: [entry], ...more })).outputFiles[0].text;
  const script = await bundle(FloorEntry, { format: 'esm' });
  const style = await bundle(join(WebFolder, 'node_modules/@xterm/xterm/css/xterm.css'));
  const data = JSON.stringify(screen).replace(/</g, '\\u003c');
  const file = join(folder, 'floor.html');
  writeFileSync(file, `<!doctype html><html lang="en"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1"><title>Floor</title>
<style>${style}html,body,#terminal{height:100%;margin:0;background:#0c0c0c}</style></head><body>
<main id="terminal"></main>
<script type="application/json" id="first-screen">${data}</script>
<script type="module" async>${script}</script>
</body></html>`);
  return file;
}

// Run in every tab before the page's own scripts: marks the moment the
// terminal's element first appears.
function markTerminal() {
  new MutationObserver((_, observer) => {
    if (!document.querySelector('.xterm-screen')) return;
    performance.mark('bench:terminal');
    observer.disconnect();
  }).observe(document, { childList: true, subtree: true });
}

// Milliseconds from the navigation's start until the first question is on
// screen, as the page's own clock sees it, with the steps on the way, and
// the processor time all of Chromium's processes took meanwhile (which
// other work on the machine does not stretch as it stretches the times);
// on a slowed phone if asked.
async function loadTime(browser, url, phone = null) {
  const page = await browser.context.newPage();
  if (phone) await emulate(browser.context, page, phone);
  const processes = chromiumProcesses(browser.profile);
  const cpuBefore = cpuNanoseconds(processes);
  await page.goto(url, { waitUntil: 'commit' });
  const shown = await waitForText(page, 'Your Choice:', { timeout: 60000, polling: 'raf' });
  const cpu = (cpuNanoseconds(processes) - cpuBefore) / 1e6;
  const steps = await page.evaluate(() => ({
    parsed: performance.getEntriesByType('navigation')[0]?.domContentLoadedEventStart,
    ...Object.fromEntries(performance.getEntriesByType('mark').map((mark) => [mark.name, mark.startTime])),
  }));
  await page.close();
  return { ...steps, shown, cpu };
}

async function emulate(context, page, phone) {
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
  await cdp.send('Network.emulateNetworkConditions', {
    offline: false,
    latency: phone.latencyMs,
    downloadThroughput: phone.downBitsPerSecond / 8,
    uploadThroughput: phone.upBitsPerSecond / 8,
  });
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: phone.cpuSlowdown });
}

// Serves the page gzipped on the loopback address until close() is called.
async function gzippedServer(file) {
  const body = gzipSync(readFileSync(file));
  const server = createServer((request, response) => {
    if (new URL(request.url, 'http://localhost').pathname !== '/brawlarium.html') {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {
      'Content-Type': 'text/html; charset=utf-8', 'Content-Encoding': 'gzip',
      'Content-Length': body.length, 'Cache-Control': 'no-store',
    });
    response.end(body);
  });
  await new Promise((listening) => server.listen(0, '127.0.0.1', listening));
  return {
    url: `http://127.0.0.1:${server.address().port}/brawlarium.html?seed=${Seed}`,
    close: () => new Promise((closed) => { server.closeAllConnections(); server.close(closed); }),
  };
}

// The medians of each step and span over the runs, and the load times.
function summary(loads) {
  const medianOf = (values) => (values.length > 0 ? median(values) : null);
  const has = (load, ...names) => names.every((name) => name in load);
  const steps = Object.fromEntries(Steps.map(([name]) =>
    [name, medianOf(loads.filter((load) => has(load, name)).map((load) => load[name]))]));
  const spans = Object.fromEntries(Spans.map(([, from, to]) =>
    [`${from}>${to}`, medianOf(loads.filter((load) => has(load, from, to)).map((load) => load[to] - load[from]))]));
  return { ...steps, spans, cpu: median(loads.map((load) => load.cpu)), times: loads.map((load) => load.shown) };
}

// Load times of each page, desktop from file:// in the desktop's tabs and
// slow phone from its server in the phone's, taken in turn so that every
// page sees the same machine.
async function loadTimes(desktop, phone, files) {
  const servers = await Promise.all(files.map(gzippedServer));
  try {
    const loads = files.map(() => ({ desktop: [], phone: [] }));
    for (let run = 0; run < runs; ++run) {
      for (const [index, file] of files.entries()) {
        loads[index].desktop.push(await loadTime(desktop, `${pathToFileURL(file)}?seed=${Seed}`));
        loads[index].phone.push(await loadTime(phone, servers[index].url, Phone));
      }
    }
    return loads.map((load) => ({ desktop: summary(load.desktop), phone: summary(load.phone) }));
  } finally {
    await Promise.all(servers.map((server) => server.close()));
  }
}

// The load times of fresh tabs as a Pixel 7, and the terminal's font and
// columns in the last.
async function onPixel7(phone, url) {
  const loads = [];
  for (let run = 0; run < runs; ++run) loads.push((await loadTime(phone, url)).shown);
  const page = await phone.context.newPage();
  await page.goto(url);
  await waitUntil(page, 'answer');
  const terminal = await page.evaluate(() =>
    ({ fontSize: window.brawlarium.terminal.options.fontSize, cols: window.brawlarium.terminal.cols }));
  await page.close();
  return { loads, ...terminal };
}

async function memoryAfterFight(context, url) {
  const page = await context.newPage();
  await page.goto(url);
  await play(page, ['a', 'a', 'bob', { key: 'Space' }, 'r', 'y', 'd', '1']);
  await waitUntil(page, 'key', 120000);
  const cdp = await context.newCDPSession(page);
  await cdp.send('HeapProfiler.collectGarbage');
  const { usedSize } = await cdp.send('Runtime.getHeapUsage');
  const wasm = await page.evaluate(() => window.brawlarium.wasmMemoryBytes);
  return { page, heap: usedSize, wasm };
}

// A save file of a game of at least `fights` fights, played by the Node
// runner: Bob fights up to ten level-1 fights a block and is made afresh
// after each, as bench.py plays its saved game. Its path and its fights.
function savedGame(runner, folder, fights) {
  const block = 'd ' + '1 '.repeat(10) + 'r a y a bob r y ';
  for (let blocks = Math.ceil(fights / 8); ; blocks += Math.ceil(fights / 80)) {
    const path = join(folder, `game-${blocks}.sav`);
    const output = execFileSync(process.execPath, [runner, '--batch', '--seed', Seed, '--save', path],
      { cwd: join(WebFolder, '../data'), input: `a a bob r y ${block.repeat(blocks)}`, maxBuffer: 1 << 30 }).toString();
    const fought = output.split('Round 1 - ').length - 1;
    if (fought >= fights) return { path, fought };
  }
}

// The time from a save file chosen with "Open a save file" to the game's
// main menu, in the page.
async function continueTime(context, url, path) {
  const page = await context.newPage();
  await page.goto(url);
  await waitUntil(page, 'answer');
  // A mark on the old game's screen, which the new game's clears.
  await page.evaluate(() => new Promise((done) => window.brawlarium.terminal.write('\r\nBENCH', done)));
  const started = performance.now();
  await page.setInputFiles('#save-files', path);
  await page.waitForFunction(() => {
    const buffer = window.brawlarium.terminal.buffer.active;
    for (let row = 0; row < buffer.length; ++row) if (buffer.getLine(row).translateToString().includes('BENCH')) return false;
    return window.brawlarium.waitingFor === 'answer';
  }, null, { timeout: 60000, polling: 5 });
  const ms = performance.now() - started;
  await page.close();
  return ms;
}

async function savedGameRows(context, url, runner) {
  const { path, fought } = savedGame(runner, workFolder, 600);
  const save = readFileSync(path, 'utf8');
  const keyBytes = save.length - save.indexOf('\nkeys\n') - 6;
  const times = [];
  for (let run = 0; run < 5; ++run) times.push(await continueTime(context, url, path));
  const { link } = await shareLink({ save, pause: '2000', lists: new Map() });
  return [
    [`continuing a saved game of ${fought} fights from "Open a save file" to its menu (median of 5)`,
      `${median(times).toFixed(0)} ms`, `${range(times, (ms) => ms.toFixed(0))} ms`, '< 300 ms', median(times) < 300],
    ['that game\'s save file: bytes per fight', `${(keyBytes / fought).toFixed(1)} B`, `${keyBytes} bytes of keys`, '', null],
    ['that game\'s share link (#game=...)', `${link.length} characters`, `${save.length} bytes of save file`, '', null],
  ];
}

// Every process of this Chromium: the ones whose command line names its
// profile, and their descendants.
function chromiumProcesses(profile) {
  const parents = new Map();
  const roots = [];
  for (const pid of readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      parents.set(pid, stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
      if (readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes(profile)) roots.push(pid);
    } catch {
      // the process has just ended
    }
  }
  const family = new Set(roots);
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, parent] of parents) {
      if (!family.has(pid) && family.has(parent)) {
        family.add(pid);
        grown = true;
      }
    }
  }
  return [...family];
}

// Nanoseconds on a processor so far, summed over the processes.
function cpuNanoseconds(pids) {
  let total = 0;
  for (const pid of pids) {
    try {
      total += Number(readFileSync(`/proc/${pid}/schedstat`, 'utf8').split(' ')[0]);
    } catch {
      // the process has just ended
    }
  }
  return total;
}

async function idleCpuMs(profile) {
  await sleep(SettleSeconds * 1000);
  const pids = chromiumProcesses(profile);
  const before = cpuNanoseconds(pids);
  await sleep(IdleSeconds * 1000);
  return (cpuNanoseconds(pids) - before) / 1e6;
}

// The timing of one setting (desktop or slow phone) for the main table.
function loadRow(label, goal, page, floor, before, format) {
  const ratio = page.shown / floor.shown;
  const times = (values) => `${format(Math.min(...values))}..${format(Math.max(...values))}`;
  const beforeNote = before ? `; before ${format(before.shown)}${before.measured ? '' : ', measured once'}` : '';
  return [label, format(page.shown),
    `floor ${format(floor.shown)} (x${ratio.toFixed(2)}); page ${times(page.times)}, floor ${times(floor.times)}${beforeNote}`,
    `<= x${goal.toFixed(2)} floor`, ratio <= goal];
}

// Where the time goes: each step's median, in ms from the navigation's
// start, then the spans between them, for each page and setting measured.
function stepRows(columns) {
  const ms = (value) => (value === null || value === undefined || Number.isNaN(value) ? '-' : value.toFixed(0));
  const span = (summary, from, to) => ms(summary.spans?.[`${from}>${to}`]);
  return [
    ['where the time goes, medians in ms', ...columns.map(([name]) => name)],
    ...Steps.map(([name, label]) => [`${label}, from the navigation's start`,
      ...columns.map(([, summary]) => ms(summary[name]))]),
    ...Spans.map(([label, from, to]) => [`${label}, took`, ...columns.map(([, summary]) => span(summary, from, to))]),
    ['processor time of all Chromium\'s processes', ...columns.map(([, summary]) => ms(summary.cpu))],
    ['size, gzipped (KiB)', ...columns.map(([, , file]) => kib(gzipSync(readFileSync(file)).length).replace(' KiB', ''))],
  ];
}

function printTable(rows) {
  const cells = rows.map((row) => row.map((cell) =>
    (cell === true ? 'yes' : cell === false ? 'NO' : cell === null ? '-' : cell)));
  const widths = cells[0].map((_, column) => Math.max(...cells.map((row) => row[column].length)));
  const rule = widths.map((width) => '-'.repeat(width + 2)).join('+');
  console.log(rule);
  cells.forEach((row, index) => {
    console.log(row.map((cell, column) => ` ${cell.padEnd(widths[column])} `).join('|'));
    if (index === 0) console.log(rule);
  });
  console.log(rule);
}

async function idleCpu(browser, url, emptyUrl) {
  const idleGames = [];
  const idleEmpties = [];
  const page = await browser.context.newPage();
  for (let round = 0; round < IdleRounds; ++round) {
    await page.goto(url);
    await waitUntil(page, 'answer');
    idleGames.push(await idleCpuMs(browser.profile));
    await page.goto(emptyUrl);
    idleEmpties.push(await idleCpuMs(browser.profile));
  }
  await page.close();
  return { game: median(idleGames), empty: median(idleEmpties) };
}

const url = `${pathToFileURL(pagePath)}?seed=${Seed}`;
const workFolder = mkdtempSync(join(tmpdir(), 'brawlarium-bench-'));
const emptyPage = join(workFolder, 'empty.html');
writeFileSync(emptyPage, '<!doctype html><title>empty</title>');
const floorPath = await buildFloorPage(await firstScreen(join(dirname(pagePath), 'brawlarium.js')), workFolder);

const browser = await launchChromium();
const phone = await launchChromium(devices['Pixel 7']);
try {
  await browser.context.addInitScript(markTerminal);
  await phone.context.addInitScript(markTerminal);
  const pixel7 = await onPixel7(phone, url);
  const [load, floor, measuredBefore] = await loadTimes(browser, phone,
    [pagePath, floorPath, ...(beforePath ? [beforePath] : [])]);
  const beforeHtml = beforePath && readFileSync(beforePath);
  const before = measuredBefore
    ? { desktop: { ...measuredBefore.desktop, measured: true }, phone: { ...measuredBefore.phone, measured: true },
      bytes: beforeHtml.length, gzipped: gzipSync(beforeHtml).length }
    : { desktop: { shown: Before.desktopMs }, phone: null, bytes: Before.bytes, gzipped: Before.gzipped };
  const beforeNote = measuredBefore ? 'before, measured now' : 'before, measured once';
  const { page, heap, wasm } = await memoryAfterFight(browser.context, url);
  await page.close();
  const idle = await idleCpu(browser, url, pathToFileURL(emptyPage).href);
  const saved = await savedGameRows(browser.context, url, join(dirname(pagePath), 'brawlarium.js'));

  const html = readFileSync(pagePath);
  const size = html.length;
  const gzipped = gzipSync(html).length;
  printTable([
    ['measure', 'page', 'beside', 'goal', 'met'],
    loadRow(`desktop: page load to the first "Your Choice: " (median of ${runs})`, Goals.desktop,
      load.desktop, floor.desktop, before.desktop, (ms) => `${ms.toFixed(0)} ms`),
    loadRow(`slow phone: a Pixel 7, 4x slower CPU, gzipped over 1.6 Mbit/s, 150 ms (median of ${runs})`,
      Goals.phone, load.phone, floor.phone, before.phone, seconds),
    [`Pixel 7: page load to the first "Your Choice: " (median of ${runs})`, `${median(pixel7.loads).toFixed(0)} ms`,
      `${range(pixel7.loads, (ms) => ms.toFixed(0))} ms`, '< 500 ms', median(pixel7.loads) < 500],
    ['Pixel 7: the terminal\'s font size and columns', `${pixel7.fontSize} px, ${pixel7.cols} columns`, '',
      '>= 12 px', pixel7.fontSize >= 12],
    ['size of brawlarium.html, raw and gzipped', `${kib(size)}, ${kib(gzipped)} gz`,
      `${size} and ${gzipped} bytes; ${kib(before.bytes)}, ${kib(before.gzipped)} gz ${beforeNote}`,
      '<= 700 KiB, <= 220 KiB gz', size <= 700 * 1024 && gzipped <= 220 * 1024],
    ['memory after a fight: JS heap + wasm memory', mib(heap + wasm),
      `${mib(heap)} + ${mib(wasm)}`, '', null],
    [`Chromium's CPU time idle ${IdleSeconds} s at a question (median of ${IdleRounds})`, `${idle.game.toFixed(1)} ms`,
      `${idle.empty.toFixed(1)} ms on an empty page`, '<= empty page', idle.game <= idle.empty],
    ...saved,
  ]);
  printTable(stepRows([
    ['desktop: page', load.desktop, pagePath], ['floor', floor.desktop, floorPath],
    ...(measuredBefore ? [['before', measuredBefore.desktop, beforePath]] : []),
    ['slow phone: page', load.phone, pagePath], ['floor', floor.phone, floorPath],
    ...(measuredBefore ? [['before', measuredBefore.phone, beforePath]] : []),
  ]));
} finally {
  await browser.close();
  await phone.close();
}
