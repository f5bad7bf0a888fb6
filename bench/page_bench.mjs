// The browser page's figures, in Debian's headless Chromium: load to the
// first "Your Choice: " (median of --runs fresh tabs), the HTML's size, the
// memory after a fight (JS heap after a collection, plus the module's wasm
// memory), and the processor time of all of Chromium's processes while the
// page idles 3 s at a question next to an empty page (medians of three);
// and, emulating a Pixel 7, the load time and the terminal's font size and
// columns.
//
//   node bench/page_bench.mjs build-web/brawlarium.html [--runs 10]
//
// Needs the page's npm packages (web/node_modules, installed by the web build).
import { readdirSync, readFileSync, statSync, writeFileSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { devices, launchChromium } from '../web/test/chromium.mjs';

const IdleSeconds = 3;
const SettleSeconds = 5;
const IdleRounds = 5;

const args = process.argv.slice(2);
const pagePath = resolve(args.find((arg) => !arg.startsWith('--')) ?? 'build-web/brawlarium.html');
const runsAt = args.indexOf('--runs');
const runs = runsAt >= 0 ? Number(args[runsAt + 1]) : 10;

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const mib = (bytes) => `${(bytes / 1048576).toFixed(2)} MiB`;

async function waitUntil(page, state, timeout = 60000) {
  await page.waitForFunction((wanted) => window.brawlarium?.waitingFor === wanted, state,
    { timeout, polling: 20 });
}

// Milliseconds from the navigation's start until the first question is on
// screen, as the page's own clock sees it.
async function loadTime(context, url) {
  const page = await context.newPage();
  await page.goto(url, { waitUntil: 'commit' });
  const found = await page.waitForFunction(() => {
    const buffer = window.brawlarium?.terminal.buffer.active;
    for (let row = 0; buffer && row < buffer.length; ++row) {
      if (buffer.getLine(row).translateToString(true).includes('Your Choice:')) return performance.now();
    }
    return false;
  }, null, { timeout: 10000, polling: 'raf' });
  const ms = await found.jsonValue();
  await page.close();
  return ms;
}

// The load times of fresh tabs, and the terminal's font and columns in the last.
async function loadTimes(context, url) {
  const loads = [];
  for (let run = 0; run < runs; ++run) loads.push(await loadTime(context, url));
  const page = await context.newPage();
  await page.goto(url);
  await waitUntil(page, 'answer');
  const terminal = await page.evaluate(() =>
    ({ fontSize: window.brawlarium.terminal.options.fontSize, cols: window.brawlarium.terminal.cols }));
  await page.close();
  return { loads, ...terminal };
}

async function onPixel7(url) {
  const phone = await launchChromium(devices['Pixel 7']);
  try {
    return await loadTimes(phone.context, url);
  } finally {
    await phone.close();
  }
}

async function memoryAfterFight(context, url) {
  const page = await context.newPage();
  await page.goto(url);
  for (const answer of ['a', 'a', 'bob']) {
    await waitUntil(page, 'answer');
    await page.keyboard.type(answer);
    await page.keyboard.press('Enter');
  }
  await waitUntil(page, 'key');
  await page.keyboard.press('Space');
  for (const answer of ['r', 'y', 'd', '1']) {
    await waitUntil(page, 'answer');
    await page.keyboard.type(answer);
    await page.keyboard.press('Enter');
  }
  await waitUntil(page, 'key', 120000);
  const cdp = await context.newCDPSession(page);
  await cdp.send('HeapProfiler.collectGarbage');
  const { usedSize } = await cdp.send('Runtime.getHeapUsage');
  const wasm = await page.evaluate(() => window.brawlarium.wasmMemoryBytes);
  return { page, heap: usedSize, wasm };
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

const url = `${pathToFileURL(pagePath)}?seed=7`;
const emptyPage = join(mkdtempSync(join(tmpdir(), 'brawlarium-bench-')), 'empty.html');
writeFileSync(emptyPage, '<!doctype html><title>empty</title>');

const phone = await onPixel7(url);
const browser = await launchChromium();
try {
  const { loads } = await loadTimes(browser.context, url);
  const { page, heap, wasm } = await memoryAfterFight(browser.context, url);
  await page.keyboard.press('Space');
  await waitUntil(page, 'answer');
  const idleGames = [];
  const idleEmpties = [];
  for (let round = 0; round < IdleRounds; ++round) {
    if (round > 0) {
      await page.goto(url);
      await waitUntil(page, 'answer');
    }
    idleGames.push(await idleCpuMs(browser.profile));
    await page.goto(pathToFileURL(emptyPage).href);
    idleEmpties.push(await idleCpuMs(browser.profile));
  }
  const idleGame = median(idleGames);
  const idleEmpty = median(idleEmpties);

  const size = statSync(pagePath).size;
  const load = median(loads);
  const phoneLoad = median(phone.loads);
  const rows = [
    ['measure', 'page', 'beside', 'goal', 'met'],
    [`page load to the first "Your Choice: " (median of ${runs})`, `${load.toFixed(0)} ms`,
      `${Math.min(...loads).toFixed(0)}..${Math.max(...loads).toFixed(0)} ms`, '< 500 ms', load < 500],
    [`Pixel 7: page load to the first "Your Choice: " (median of ${runs})`, `${phoneLoad.toFixed(0)} ms`,
      `${Math.min(...phone.loads).toFixed(0)}..${Math.max(...phone.loads).toFixed(0)} ms`, '< 500 ms', phoneLoad < 500],
    ['Pixel 7: the terminal\'s font size and columns', `${phone.fontSize} px, ${phone.cols} columns`, '',
      '>= 12 px', phone.fontSize >= 12],
    ['size of brawlarium.html', mib(size), `${size} bytes`, '< 1.5 MiB', size < 1.5 * 1048576],
    ['memory after a fight: JS heap + wasm memory', mib(heap + wasm),
      `${mib(heap)} + ${mib(wasm)}`, '', null],
    [`Chromium's CPU time idle ${IdleSeconds} s at a question (median of ${IdleRounds})`, `${idleGame.toFixed(1)} ms`,
      `${idleEmpty.toFixed(1)} ms on an empty page`, '<= empty page', idleGame <= idleEmpty],
  ].map((row) => row.map((cell) => (cell === true ? 'yes' : cell === false ? 'NO' : cell === null ? '-' : cell)));
  const widths = rows[0].map((_, column) => Math.max(...rows.map((row) => row[column].length)));
  const rule = widths.map((width) => '-'.repeat(width + 2)).join('+');
  console.log(rule);
  rows.forEach((row, index) => {
    console.log(row.map((cell, column) => ` ${cell.padEnd(widths[column])} `).join('|'));
    if (index === 0) console.log(rule);
  });
  console.log(rule);
} finally {
  await browser.close();
}
