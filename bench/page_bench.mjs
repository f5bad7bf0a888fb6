// The browser page's figures, in Debian's headless Chromium: load to the
// first "Your Choice: " (median of --runs fresh tabs) from file:// on the
// desktop, and as on a phone on a slow connection (the page served gzipped,
// as static hosts serve it, by a server on 127.0.0.1 that this script starts
// and stops, Chromium's processor slowed 4 times and its network throttled
// to 1.6 Mbit/s down with 150 ms latency); the HTML's size, raw and gzipped;
// the memory after a fight (JS heap after a collection, plus the module's
// wasm memory), and the processor time of all of Chromium's processes while
// the page idles 3 s at a question next to an empty page (medians of three).
// Beside the load times stand those of the page before it was bundled by
// esbuild and its game built for size: measured again with --before OLD.html
// (a page built from an older commit), else as measured here once. And,
// emulating a Pixel 7, the load time and the terminal's font size and columns.
//
//   node bench/page_bench.mjs build-web/brawlarium.html [--runs 10] [--before OLD.html]
//
// Needs the page's npm packages (web/node_modules, installed by the web build).
import { readdirSync, readFileSync, writeFileSync, mkdtempSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { gzipSync } from 'node:zlib';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { devices, launchChromium } from '../web/test/chromium.mjs';

const IdleSeconds = 3;
const SettleSeconds = 5;
const IdleRounds = 5;
// A phone on a slow mobile connection, as Chromium's DevTools emulate one.
const Phone = { cpuSlowdown: 4, latencyMs: 150, downBitsPerSecond: 1.6e6, upBitsPerSecond: 750e3 };
// The page before: bundled by regular expressions, its game built with
// Asyncify throughout at -O3 (commit 681e602), measured by this script on
// the same machine.
const Before = { desktopMs: 163, phoneMs: 2240, bytes: 1081259, gzipped: 317982 };

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

async function waitUntil(page, state, timeout = 60000) {
  await page.waitForFunction((wanted) => window.brawlarium?.waitingFor === wanted, state,
    { timeout, polling: 20 });
}

// Milliseconds from the navigation's start until the first question is on
// screen, as the page's own clock sees it; on a slowed phone if asked.
async function loadTime(context, url, phone = null) {
  const page = await context.newPage();
  if (phone) await emulate(context, page, phone);
  await page.goto(url, { waitUntil: 'commit' });
  const found = await page.waitForFunction(() => {
    const buffer = window.brawlarium?.terminal.buffer.active;
    for (let row = 0; buffer && row < buffer.length; ++row) {
      if (buffer.getLine(row).translateToString(true).includes('Your Choice:')) return performance.now();
    }
    return false;
  }, null, { timeout: 60000, polling: 'raf' });
  const ms = await found.jsonValue();
  await page.close();
  return ms;
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
    url: `http://127.0.0.1:${server.address().port}/brawlarium.html?seed=7`,
    close: () => new Promise((closed) => { server.closeAllConnections(); server.close(closed); }),
  };
}

// Load times of each page, desktop from file:// and phone from its server,
// taken in turn so that every page sees the same machine.
async function loadTimes(context, files) {
  const servers = await Promise.all(files.map(gzippedServer));
  try {
    const times = files.map(() => ({ desktop: [], phone: [] }));
    for (let run = 0; run < runs; ++run) {
      for (const [index, file] of files.entries()) {
        times[index].desktop.push(await loadTime(context, `${pathToFileURL(file)}?seed=7`));
        times[index].phone.push(await loadTime(context, servers[index].url, Phone));
      }
    }
    return times.map(({ desktop, phone }) => ({ desktop: median(desktop), phone: median(phone), desktops: desktop, phones: phone }));
  } finally {
    await Promise.all(servers.map((server) => server.close()));
  }
}

// The load times of fresh tabs as a Pixel 7, and the terminal's font and
// columns in the last.
async function onPixel7(url) {
  const phone = await launchChromium(devices['Pixel 7']);
  try {
    const loads = [];
    for (let run = 0; run < runs; ++run) loads.push(await loadTime(phone.context, url));
    const page = await phone.context.newPage();
    await page.goto(url);
    await waitUntil(page, 'answer');
    const terminal = await page.evaluate(() =>
      ({ fontSize: window.brawlarium.terminal.options.fontSize, cols: window.brawlarium.terminal.cols }));
    await page.close();
    return { loads, ...terminal };
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

const pixel7 = await onPixel7(url);
const browser = await launchChromium();
try {
  const [load, measuredBefore] = await loadTimes(browser.context, beforePath ? [pagePath, beforePath] : [pagePath]);
  const beforeHtml = beforePath && readFileSync(beforePath);
  const before = measuredBefore
    ? { ...measuredBefore, bytes: beforeHtml.length, gzipped: gzipSync(beforeHtml).length }
    : { desktop: Before.desktopMs, phone: Before.phoneMs, bytes: Before.bytes, gzipped: Before.gzipped };
  const beforeNote = measuredBefore ? 'before, measured now' : 'before, measured once';
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

  const html = readFileSync(pagePath);
  const size = html.length;
  const gzipped = gzipSync(html).length;
  const range = (values, format) => `${format(Math.min(...values))}..${format(Math.max(...values))}`;
  const rows = [
    ['measure', 'page', 'beside', 'goal', 'met'],
    [`desktop: page load to the first "Your Choice: " (median of ${runs})`, `${load.desktop.toFixed(0)} ms`,
      `${range(load.desktops, (ms) => ms.toFixed(0))} ms; ${before.desktop.toFixed(0)} ms ${beforeNote}`,
      '<= 150 ms', load.desktop <= 150],
    [`slow phone: 4x slower CPU, gzipped over 1.6 Mbit/s, 150 ms (median of ${runs})`, seconds(load.phone),
      `${range(load.phones, (ms) => (ms / 1000).toFixed(2))} s; ${seconds(before.phone)} ${beforeNote}`,
      '<= 1.6 s', load.phone <= 1600],
    [`Pixel 7: page load to the first "Your Choice: " (median of ${runs})`, `${median(pixel7.loads).toFixed(0)} ms`,
      `${range(pixel7.loads, (ms) => ms.toFixed(0))} ms`, '< 500 ms', median(pixel7.loads) < 500],
    ['Pixel 7: the terminal\'s font size and columns', `${pixel7.fontSize} px, ${pixel7.cols} columns`, '',
      '>= 12 px', pixel7.fontSize >= 12],
    ['size of brawlarium.html, raw and gzipped', `${kib(size)}, ${kib(gzipped)} gz`,
      `${size} and ${gzipped} bytes; ${kib(before.bytes)}, ${kib(before.gzipped)} gz ${beforeNote}`,
      '<= 700 KiB, <= 220 KiB gz', size <= 700 * 1024 && gzipped <= 220 * 1024],
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
