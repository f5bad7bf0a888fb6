// The one-file page in headless Chromium, opened from file://: a seeded
// session typed key by key shows what the Node runner prints for the same
// answers, in colour, and the page plays again; faulty lists chosen through
// the file input are refused and checked with the game's own words; on
// phones, upright and turned, the text is readable, answers typed through
// the answer field with an input method and key waits ended by taps give the
// same game, and the prompt stays in view above an on-screen keyboard; a
// clear leaves nothing of the screen before; and no request leaves file: and
// data:.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { devices, launchChromium } from './chromium.mjs';

const pagePath = resolve(process.env.BRAWLARIUM_PAGE ?? 'brawlarium.html');
const runnerPath = resolve(process.env.BRAWLARIUM_RUNNER ?? 'brawlarium.js');
const sampleData = resolve(import.meta.dirname, '../../data');
const Title = 'Brawlarium! Adventures inside the almighty Console.';
const Prompts = ['Your Choice: ', 'Change Name to: ', 'Roll Again (Y/N)? ',
  'Do you still want to return to the main menu (Y/N)? ',
  'Character Already Exists, Do you wish to Delete (Y/N)?  ',
  'What weapon would you like to buy? ', 'What armor would you like to buy? '];
// Seed 7 fights at level 1 with hits and misses on both sides.
const Seed = '7';
// Each phone upright and turned, and the smallest font it may show.
const Touch = { isMobile: true, hasTouch: true };
const Phones = [['Pixel 7', devices['Pixel 7'], 12], ['Pixel 7 turned', devices['Pixel 7 landscape'], 12],
  ['iPhone 13', devices['iPhone 13'], 12], ['iPhone 13 turned', devices['iPhone 13 landscape'], 12],
  ['360x640', { ...Touch, viewport: { width: 360, height: 640 } }, 11],
  ['640x360', { ...Touch, viewport: { width: 640, height: 360 } }, 12]];
// The touch controls, by their accessible names.
const AnswerField = 'role=textbox[name="Answer"]';
const ContinueButton = 'role=button[name="Continue"]';
// What the game writes before its first clear.
const StartUpLines = /Created|Loading/;

let browser;
const requests = [];

before(async () => {
  browser = await launchChromium();
  browser.context.on('request', (request) => requests.push(request.url()));
});

after(async () => {
  await browser?.close();
});

// What the Node runner prints, piped, for these answers; key waits end at
// once there, and at the end of the input.
function runner(commandLine, answers, cwd) {
  return new Promise((done, failed) => {
    const child = spawn(process.execPath, [runnerPath, ...commandLine], { cwd });
    let stdout = '';
    let stderr = '';
    child.stdout.on('data', (chunk) => { stdout += chunk; });
    child.stderr.on('data', (chunk) => { stderr += chunk; });
    child.on('error', failed);
    child.on('close', (status) => done({ stdout, stderr, status }));
    child.stdin.end(answers.map((answer) => `${answer}\n`).join(''));
  });
}

// The transcript as the terminal shows it: each answer line echoed after the
// prompt that read its first word; its further words answer the next prompts.
function withEchoedAnswers(transcript, answers) {
  let shown = '';
  let rest = transcript;
  for (const answer of answers) {
    for (let word = 0; word < Math.max(1, answer.split(' ').length); ++word) {
      const found = Prompts.map((prompt) => [rest.indexOf(prompt), prompt])
        .filter(([at]) => at >= 0).sort((a, b) => a[0] - b[0])[0];
      assert.ok(found, `no question left for the answer ${answer}`);
      const end = found[0] + found[1].length;
      shown += `${rest.slice(0, end)}${word === 0 ? `${answer}\n` : ''}`;
      rest = rest.slice(end);
    }
  }
  return shown + rest;
}

function trimmedLines(text) {
  const lines = text.split('\n').map((line) => line.trimEnd());
  while (lines.length > 0 && lines.at(-1) === '') lines.pop();
  return lines;
}

async function openPage(query = '') {
  const page = await browser.context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(`${pathToFileURL(pagePath)}${query}`);
  return { page, errors };
}

async function screenText(page) {
  const text = await page.evaluate(() => {
    const buffer = window.brawlarium.terminal.buffer.active;
    let lines = [];
    for (let row = 0; row < buffer.length; ++row) {
      const line = buffer.getLine(row);
      const text = line.translateToString(true);
      if (line.isWrapped && lines.length > 0) lines[lines.length - 1] += text;
      else lines.push(text);
    }
    return lines.join('\n');
  });
  return trimmedLines(text);
}

async function waitUntil(page, state, timeout = 15000) {
  await page.waitForFunction((wanted) => window.brawlarium?.waitingFor === wanted, state,
    { timeout, polling: 50 });
}

async function waitForText(page, text, timeout = 15000) {
  await page.waitForFunction((wanted) => {
    const buffer = window.brawlarium?.terminal.buffer.active;
    for (let row = 0; buffer && row < buffer.length; ++row) {
      if (buffer.getLine(row).translateToString(true).includes(wanted)) return true;
    }
    return false;
  }, text, { timeout, polling: 50 });
}

// The terminal's rows on screen, its font and the boxes, in the page, of the
// cursor's row and the answer field next to the visual viewport's.
async function layout(page) {
  return page.evaluate(async () => {
    const { terminal } = window.brawlarium;
    await new Promise((done) => terminal.write('', done));
    const buffer = terminal.buffer.active;
    const screen = document.querySelector('#terminal .xterm-screen').getBoundingClientRect();
    const rowHeight = screen.height / terminal.rows;
    const cursorTop = screen.top + (buffer.baseY + buffer.cursorY - buffer.viewportY) * rowHeight;
    const field = document.getElementById('answer').getBoundingClientRect();
    const rows = [];
    for (let row = 0; row < terminal.rows; ++row) {
      rows.push(buffer.getLine(buffer.viewportY + row).translateToString(true));
    }
    return {
      rows, cols: terminal.cols, fontSize: terminal.options.fontSize,
      overflow: document.documentElement.scrollWidth - window.innerWidth,
      bar: document.getElementById('status').offsetHeight / window.innerHeight,
      boxes: [[cursorTop, cursorTop + rowHeight], [field.top, field.bottom]],
      visible: [visualViewport.offsetTop, visualViewport.offsetTop + visualViewport.height],
    };
  });
}

// A line typed through the answer field as an input method types it, letter
// by letter in a composition that is then committed, and sent with Enter.
async function composeAnswer(page, cdp, answer) {
  await waitUntil(page, 'answer');
  if (answer === 'Thorga') {
    // A slip mended with Backspace inside the composition.
    await cdp.send('Input.insertText', { text: 'Thor' });
    for (const text of ['g', 'ga', 'gax']) {
      await cdp.send('Input.imeSetComposition', { text, selectionStart: text.length, selectionEnd: text.length });
    }
    await page.keyboard.press('Backspace');
    await cdp.send('Input.insertText', { text: 'ga' });
  } else {
    for (let length = 1; length <= answer.length; ++length) {
      await cdp.send('Input.imeSetComposition', { text: answer.slice(0, length), selectionStart: length, selectionEnd: length });
    }
    assert.equal(await page.inputValue(AnswerField), answer);
    assert.equal(await page.evaluate(() => window.brawlarium.waitingFor), 'answer');
    await cdp.send('Input.insertText', { text: answer });
  }
  assert.equal(await page.inputValue(AnswerField), answer);
  await page.keyboard.press('Enter');
}

// The first line of each strike and the palette colour it is written in.
async function strikeColours(page) {
  return page.evaluate(() => {
    const buffer = window.brawlarium.terminal.buffer.active;
    const colours = [];
    for (let row = 0; row < buffer.length; ++row) {
      const line = buffer.getLine(row);
      const text = line.translateToString(true);
      if (/^(Bob|Monster) (deals|attacks|yells|hits himself|flails)/.test(text)) {
        const cell = line.getCell(0);
        colours.push([text.split(' ').slice(0, 2).join(' '), cell.isFgPalette() ? cell.getFgColor() : -1]);
      }
    }
    return colours;
  });
}

test('a seeded session typed key by key is the Node runner\'s game, in colour, and plays again',
  { timeout: 150000 }, async () => {
    // An answer is typed when the game asks; a key is pressed at a key wait.
    const steps = ['a', 'a', 'bob', { key: 'Space', modifiers: true }, 'b', 'n', 'r', 'y', 'c',
      { key: 'ArrowDown' }, 'd', '1', { fight: true }, 'r', 'q'];
    const answers = steps.filter((step) => typeof step === 'string');
    const expected = runner(['--seed', Seed], answers, sampleData);

    const { page, errors } = await openPage(`?seed=${Seed}`);
    await waitForText(page, 'Your Choice: ', 5000);
    assert.equal(await page.title(), Title);
    assert.match(await page.textContent('#seed'), new RegExp(`Seed ${Seed}\\b`));
    assert.equal(await page.getAttribute('#seed a', 'href'), `?seed=${Seed}`);

    for (const step of steps) {
      if (typeof step === 'string') {
        await waitUntil(page, 'answer');
        // The name goes in with a typing slip, mended with Backspace.
        await page.keyboard.type(step === 'bob' ? 'bxo' : step, { delay: 10 });
        if (step === 'bob') {
          await page.keyboard.press('Backspace');
          await page.keyboard.press('Backspace');
          await page.keyboard.type('ob');
        }
        await page.keyboard.press('Enter');
      } else if (step.fight) {
        // A key pressed during the third pause ends the key wait after the victory.
        await waitForText(page, 'Round 3 -', 30000);
        await waitUntil(page, 'pause').catch(() => assert.fail('seed 7 no longer fights four rounds'));
        await page.screenshot({ path: join(dirname(pagePath), 'screenshot.png') });
        await page.keyboard.press('Space');
      } else {
        await waitUntil(page, 'key');
        if (step.modifiers) {
          for (const modifier of ['Shift', 'Control', 'Alt']) await page.keyboard.press(modifier);
          await page.waitForTimeout(100);
          assert.equal(await page.evaluate(() => window.brawlarium.waitingFor), 'key');
        }
        await page.keyboard.press(step.key);
      }
    }
    await waitForText(page, 'Press any key to play again.');

    const native = await expected;
    assert.equal(native.status, 0, native.stderr);
    const screen = await screenText(page);
    assert.deepEqual(screen.slice(-2), ['', 'The game is over. Press any key to play again.']);
    assert.deepEqual(screen.slice(0, -2), trimmedLines(withEchoedAnswers(native.stdout, answers)));

    // Bright for a hit, plain for a miss: green for the player, red for the monster.
    const colours = await strikeColours(page);
    const palette = { 'Bob deals': 10, 'Bob attacks': 2, 'Bob yells': 2,
      'Monster deals': 9, 'Monster hits': 1, 'Monster flails': 1 };
    for (const [opening, colour] of colours) assert.equal(colour, palette[opening], opening);
    const seen = new Set(colours.map(([, colour]) => colour));
    assert.deepEqual([...seen].sort((a, b) => a - b), [1, 2, 9, 10], 'seed 7 no longer shows every colour');

    // Play again: a fresh game in a cleared terminal, ended by Ctrl-D on an empty line.
    await page.keyboard.press('x');
    await waitUntil(page, 'answer');
    assert.equal((await screenText(page)).filter((line) => line.startsWith('Bob')).length, 0);
    assert.equal(await page.title(), Title);
    await page.keyboard.type('zz');
    await page.keyboard.press('Control+U');
    await page.keyboard.press('Control+D');
    await waitForText(page, 'Press any key to play again.');
    assert.deepEqual((await screenText(page)).slice(-3), ['Your Choice:', '', 'The game is over. Press any key to play again.']);

    // Ctrl-C stops a game as an interrupt does in a terminal.
    await page.keyboard.press('Enter');
    await waitUntil(page, 'answer');
    await page.keyboard.press('Control+C');
    await waitForText(page, 'Press any key to play again.');
    assert.deepEqual((await screenText(page)).slice(-3), ['Your Choice: ^C', '', 'The game was interrupted. Press any key to play again.']);
    assert.deepEqual(errors, []);
    await page.close();
  });

test('faulty lists from the file input are refused, and checked, in the game\'s own words',
  { timeout: 60000 }, async () => {
    const folder = mkdtempSync(join(tmpdir(), 'brawlarium-lists-'));
    const weapons = 'Bare Knuckles;1;4;20;2;0\nClub;1;6;20;2;5\n';
    writeFileSync(join(folder, 'weaponlist.txt'), weapons);
    copyFileSync(join(sampleData, 'armorlist.txt'), join(folder, 'armorlist.txt'));
    const refused = await runner([], [], folder);
    const checked = await runner(['--check-data'], [], folder);
    assert.equal(refused.status, 1);
    assert.equal(trimmedLines(refused.stderr).length, 1);

    const { page, errors } = await openPage();
    await waitForText(page, 'Your Choice: ', 5000);
    await page.setInputFiles('#list-files', [
      { name: 'weaponlist.txt', mimeType: 'text/plain', buffer: Buffer.from(weapons) },
      { name: 'armorlist.txt', mimeType: 'text/plain', buffer: readFileSync(join(folder, 'armorlist.txt')) },
    ]);
    await waitForText(page, 'Press any key to play again.');
    assert.deepEqual(await screenText(page), [...trimmedLines(refused.stdout), ...trimmedLines(refused.stderr), '',
      'The game ended with exit status 1. Press any key to play again.']);
    assert.match(await page.textContent('#lists'), /weaponlist\.txt, armorlist\.txt/);

    await page.click('#check-lists');
    await waitForText(page, 'Press any key to play again.');
    assert.deepEqual((await screenText(page)).slice(0, -2), trimmedLines(checked.stdout));
    assert.equal(await page.evaluate(() => document.activeElement.className), 'xterm-helper-textarea');
    assert.deepEqual(errors, []);
    await page.close();
  });

for (const [name, device, smallestFont] of Phones) {
  test(`on a phone (${name}) the page reads, takes answers through its field and keeps the prompt in view`,
    { timeout: 60000 }, async () => {
      const upright = device.viewport.height > device.viewport.width;
      const steps = upright ? ['a', 'a', 'Thorga', { tap: '#terminal' }, 'b n', 'r', 'y', 'c',
        { tap: ContinueButton }, 'c', { send: true }, 'q'] : [];
      const answers = steps.filter((step) => typeof step === 'string');
      const expected = runner(['--seed', Seed], answers, sampleData);
      const phone = await launchChromium(device);
      phone.context.on('request', (request) => requests.push(request.url()));
      try {
        const page = await phone.context.newPage();
        const errors = [];
        page.on('pageerror', (error) => errors.push(error.message));
        await page.goto(`${pathToFileURL(pagePath)}?seed=${Seed}`);
        await waitUntil(page, 'answer', 5000);
        const shown = await layout(page);
        assert.ok(shown.fontSize >= smallestFont, `${shown.fontSize} px`);
        assert.ok(shown.cols >= (upright ? 50 : 80), `${shown.cols} columns`);
        assert.ok(shown.overflow <= 0 && shown.bar <= 1 / 6, JSON.stringify(shown));
        assert.ok(shown.rows.length <= 50 && !shown.rows.some((row) => StartUpLines.test(row)));
        assert.deepEqual(await page.$eval(AnswerField, (field) =>
          [field.spellcheck, field.autocapitalize, field.getAttribute('autocorrect')]), [false, 'none', 'off']);

        // An on-screen keyboard takes 60% and 55% of the height, the phone
        // turns and back: the prompt and the field stay in view, and a
        // half-typed answer stays.
        const cdp = await phone.context.newCDPSession(page);
        await page.tap('#terminal');
        await cdp.send('Input.insertText', { text: 'Tho' });
        const { width, height } = device.viewport;
        for (const [across, down] of [[width, 0.4 * height], [width, 0.45 * height], [height, width], [width, height]]) {
          await page.setViewportSize({ width: across, height: Math.round(down) });
          await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
          const { boxes, visible } = await layout(page);
          for (const [top, bottom] of boxes) assert.ok(top >= visible[0] && bottom <= visible[1], JSON.stringify([across, down, boxes, visible]));
        }
        assert.equal(await page.inputValue(AnswerField), 'Tho');
        await page.fill(AnswerField, '');

        for (const step of steps) {
          if (typeof step === 'string') {
            await composeAnswer(page, cdp, step);
          } else {
            await waitUntil(page, 'key');
            assert.ok(await page.isVisible(ContinueButton));
            if (step.tap) await page.tap(step.tap);
            else await page.keyboard.press('Enter');
            await waitUntil(page, 'answer');
            assert.ok(!await page.isVisible(ContinueButton));
            assert.ok(!(await layout(page)).rows.some((row) => row.startsWith('Name: ')), 'the screen before the clear shows');
          }
        }
        if (upright) {
          await waitForText(page, 'Press any key to play again.');
          await page.screenshot({ path: join(dirname(pagePath), `screenshot-${name.replace(/ /g, '-')}.png`) });
          const native = await expected;
          assert.deepEqual((await screenText(page)).slice(0, -2), trimmedLines(withEchoedAnswers(native.stdout, answers)));
          // A tap plays again; the bar's End input ends it as Ctrl-D does.
          await page.tap(ContinueButton);
          await waitUntil(page, 'answer');
          await page.tap('role=button[name="End input"]');
          await waitForText(page, 'Press any key to play again.');
          assert.deepEqual((await screenText(page)).slice(-3), ['Your Choice:', '', 'The game is over. Press any key to play again.']);
        }
        assert.deepEqual(errors, []);
      } finally {
        await phone.close();
      }
    });
}

test('a clear leaves nothing of the screen before in a 2560x1440 window', async () => {
  const { page, errors } = await openPage();
  await page.setViewportSize({ width: 2560, height: 1440 });
  await waitUntil(page, 'answer', 5000);
  const { rows, fontSize } = await layout(page);
  assert.equal(fontSize, 16);
  assert.ok(rows.length === 50 && !rows.some((row) => StartUpLines.test(row)), rows.join('\n'));
  assert.deepEqual(errors, []);
  await page.close();
});

test('no request leaves file: and data:', () => {
  assert.ok(requests.length > 0);
  assert.deepEqual(requests.filter((url) => !/^(file|data):/.test(url)), []);
});
