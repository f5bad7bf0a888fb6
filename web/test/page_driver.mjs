// Drives the page in Chromium for its test and its benchmark: reads the
// terminal's buffer (window.brawlarium.terminal) in one place, waits for the
// game's state or for a text, and plays steps as a player types them. A
// step is an answer typed at a question (a string, or { answer, typed } for
// one typed with a slip mended by Backspace), a key pressed at a key wait
// ({ key, modifiers }), or an action of the caller's ({ run(page) }).
import assert from 'node:assert/strict';

// Runs in the page: every row of the terminal's buffer (or only those on
// screen), its text, whether it continues the row above, and the palette
// colour of its first cell (-1 when it is not a palette colour).
function terminalRows(onScreen = false) {
  const terminal = window.brawlarium?.terminal;
  if (!terminal) return [];
  const buffer = terminal.buffer.active;
  const first = onScreen ? buffer.viewportY : 0;
  const count = onScreen ? terminal.rows : buffer.length;
  const rows = [];
  for (let row = first; row < first + count; ++row) {
    const line = buffer.getLine(row);
    const cell = line.getCell(0);
    rows.push({ text: line.translateToString(true), wrapped: line.isWrapped,
      colour: cell?.isFgPalette() ? cell.getFgColor() : -1 });
  }
  return rows;
}

// Runs in the page: whether a row holds `text`, then the page's clock, so
// that a wait can tell when the text appeared. A function of its own rather
// than an expression, which the page's Content-Security-Policy refuses to
// evaluate.
function shows(text) {
  const buffer = window.brawlarium?.terminal.buffer.active;
  for (let row = 0; buffer && row < buffer.length; ++row) {
    if (buffer.getLine(row).translateToString(true).includes(text)) return performance.now();
  }
  return false;
}

export function trimmedLines(text) {
  const lines = text.split('\n').map((line) => line.trimEnd());
  while (lines.length > 0 && lines.at(-1) === '') lines.pop();
  return lines;
}

// The buffer's rows, each with its colour.
export function readRows(page, onScreen = false) {
  return page.evaluate(`(${terminalRows})(${onScreen})`);
}

// The whole buffer as lines, a wrapped line whole again.
export async function screenText(page) {
  const lines = [];
  for (const row of await readRows(page)) {
    if (row.wrapped && lines.length > 0) lines[lines.length - 1] += row.text;
    else lines.push(row.text);
  }
  return trimmedLines(lines.join('\n'));
}

// Waits until the game is at `state` (answer, key, pause, end).
export async function waitUntil(page, state, timeout = 15000, polling = 50) {
  await page.waitForFunction((wanted) => window.brawlarium?.waitingFor === wanted, state, { timeout, polling });
}

// Waits until the terminal shows `text`; gives the page's clock then.
export async function waitForText(page, text, { timeout = 15000, polling = 50 } = {}) {
  return (await page.waitForFunction(shows, text, { timeout, polling })).jsonValue();
}

// The length of the text that `typed` and `answer` share at their start.
function sharedStart(typed, answer) {
  let length = 0;
  while (length < typed.length && typed[length] === answer[length]) ++length;
  return length;
}

// Types an answer when the game asks, with its slip if it has one, and Enter.
export async function typeAnswer(page, step) {
  const { answer, typed = answer } = typeof step === 'string' ? { answer: step } : step;
  await waitUntil(page, 'answer');
  await page.keyboard.type(typed, { delay: 10 });
  const kept = sharedStart(typed, answer);
  for (let erased = kept; erased < typed.length; ++erased) await page.keyboard.press('Backspace');
  await page.keyboard.type(answer.slice(kept));
  await page.keyboard.press('Enter');
}

// Presses a key at a key wait; with modifiers, Shift, Control and Alt
// alone first, which must not end it.
export async function pressKey(page, { key, modifiers = false }) {
  await waitUntil(page, 'key');
  if (modifiers) {
    for (const modifier of ['Shift', 'Control', 'Alt']) await page.keyboard.press(modifier);
    await page.waitForTimeout(100);
    assert.equal(await page.evaluate(() => window.brawlarium.waitingFor), 'key');
  }
  await page.keyboard.press(key);
}

export async function play(page, steps) {
  for (const step of steps) {
    if (typeof step === 'string' || step.answer !== undefined) await typeAnswer(page, step);
    else if (step.key) await pressKey(page, step);
    else await step.run(page);
  }
}

// The answers of the steps, as the Node runner is to read them.
export const answersOf = (steps) => steps.filter((step) => typeof step === 'string' || step.answer !== undefined)
  .map((step) => (typeof step === 'string' ? step : step.answer));
