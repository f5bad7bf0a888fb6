// The one-file page in headless Chromium, opened from file://: a seeded
// session typed key by key shows what the Node runner prints for the same
// answers, in colour, and its end keeps the hero; faulty lists chosen through
// the file input are refused, and checked in a dialog while the game goes
// on, with the game's own words; Tab reaches every control, screen-reader
// mode reads each screen out, list buttons ask before they end a game with
// a character, every game but a replay's has a seed of its own; on phones, upright and turned, the text is readable, answers typed through
// the answer field with an input method and key waits ended by taps give the
// same game, and the prompt stays in view above an on-screen keyboard; a
// clear leaves nothing of the screen before; a game reloaded and quit at
// points drawn from a printed seed goes on as played straight through, its share link plays it back in a
// fresh page to the same screen and a cut one is refused, its recording
// plays under asciinema, a link's lists named with HTML show as text and
// run nothing, the page refuses to connect anywhere; and no request leaves
// file: and data:.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { devices, launchChromium } from './chromium.mjs';
import { answersOf, play, readRows, screenText, trimmedLines, waitForText, waitUntil } from './page_driver.mjs';
import { shareLink } from '../share_link.js';

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
// What the page writes when a game with a character ends, by its first words.
const HeroKept = (ending) => ['', `${ending}, and your hero is kept.`, 'Press any key to go on with your hero,',
  'or "New game" to start afresh.'];

let browser;
const requests = [];

before(async () => {
  browser = await launchChromium();
  await browser.context.grantPermissions(['clipboard-read', 'clipboard-write']);
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

// Each test's page starts with no kept game: the storage of file:// pages is
// cleared through the browser before the page opens (a mark in the tab's
// sessionStorage, read by an init script, was at times not seen by the next
// document, which then cleared the storage under a game in play); a reload
// or another address in the page keeps its own.
async function openPage(query = '') {
  const page = await browser.context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  const devtools = await browser.context.newCDPSession(page);
  await devtools.send('Storage.clearDataForOrigin', { origin: 'file://', storageTypes: 'local_storage' });
  await devtools.detach();
  await page.goto(`${pathToFileURL(pagePath)}${query}`);
  return { page, errors };
}

// Drags the mouse over the last rows of the terminal's screen up to the
// cursor's; gives the rows' text.
async function selectRowsWithMouse(page, count) {
  const { box, rows, cursorRow } = await page.evaluate(() => {
    const { terminal } = window.brawlarium;
    const buffer = terminal.buffer.active;
    const box = document.querySelector('#terminal .xterm-screen').getBoundingClientRect();
    return { box: box.toJSON(), rows: terminal.rows, cursorRow: buffer.baseY + buffer.cursorY - buffer.viewportY };
  });
  const text = (await readRows(page, true)).slice(cursorRow - count + 1, cursorRow + 1).map((row) => row.text).join('\n');
  const rowHeight = box.height / rows;
  await page.mouse.move(box.x + 1, box.y + (cursorRow - count + 1.5) * rowHeight);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width - 2, box.y + (cursorRow + 0.5) * rowHeight, { steps: 5 });
  await page.mouse.up();
  return text;
}

// The terminal's rows on screen, its font and the boxes, in the page, of the
// cursor's row and the answer field next to the visual viewport's.
async function layout(page) {
  const shown = await page.evaluate(async () => {
    const { terminal } = window.brawlarium;
    await new Promise((done) => terminal.write('', done));
    const buffer = terminal.buffer.active;
    const screen = document.querySelector('#terminal .xterm-screen').getBoundingClientRect();
    const rowHeight = screen.height / terminal.rows;
    const cursorTop = screen.top + (buffer.baseY + buffer.cursorY - buffer.viewportY) * rowHeight;
    const field = document.getElementById('answer').getBoundingClientRect();
    return {
      cols: terminal.cols, fontSize: terminal.options.fontSize,
      overflow: document.documentElement.scrollWidth - window.innerWidth,
      bar: document.getElementById('status').offsetHeight / window.innerHeight,
      boxes: [[cursorTop, cursorTop + rowHeight], [field.top, field.bottom]],
      visible: [visualViewport.offsetTop, visualViewport.offsetTop + visualViewport.height],
    };
  });
  return { ...shown, rows: (await readRows(page, true)).map((row) => row.text) };
}

// Each element's box lies within the visual viewport.
async function assertWithinVisualViewport(page, selectors) {
  const boxes = await page.evaluate((selectors) => selectors.map((selector) => {
    const box = document.querySelector(selector).getBoundingClientRect();
    return [selector, box.left, box.top, box.right, box.bottom];
  }), selectors);
  const [width, top, height] = await page.evaluate(() => [visualViewport.width, visualViewport.offsetTop, visualViewport.height]);
  for (const [selector, left, boxTop, right, bottom] of boxes) {
    assert.ok(left >= 0 && right <= width && boxTop >= top && bottom <= top + height,
      `${selector} at ${[left, boxTop, right, bottom]} leaves the ${width}x${height} viewport`);
  }
}

// A line typed through the answer field as an input method types it, letter
// by letter in a composition that is then committed, and sent with Enter.
// With a slip ({ answer, committed, composing }), the start of the answer is
// committed at once, then `composing` grows letter by letter, is mended with
// one Backspace inside the composition and committed as the rest.
async function composeAnswer(page, cdp, step) {
  const { answer, committed, composing } = typeof step === 'string' ? { answer: step } : step;
  await waitUntil(page, 'answer');
  if (composing) {
    await cdp.send('Input.insertText', { text: committed });
    for (let length = 1; length <= composing.length; ++length) {
      const text = composing.slice(0, length);
      await cdp.send('Input.imeSetComposition', { text, selectionStart: length, selectionEnd: length });
    }
    await page.keyboard.press('Backspace');
    await cdp.send('Input.insertText', { text: answer.slice(committed.length) });
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
  return (await readRows(page)).filter(({ text }) => /^(Bob|Monster) (deals|attacks|yells|hits himself|flails)/.test(text))
    .map(({ text, colour }) => [text.split(' ').slice(0, 2).join(' '), colour]);
}

test('a seeded session typed key by key is the Node runner\'s game, in colour, and keeps its hero at its end',
  { timeout: 150000 }, async () => {
    // An answer is typed when the game asks; a key is pressed at a key wait.
    // The name goes in with a typing slip, mended with Backspace. A key
    // pressed during the third pause ends the key wait after the victory.
    const fight = async (page) => {
      await waitForText(page, 'Round 3 -', { timeout: 30000 });
      await waitUntil(page, 'pause').catch(() => assert.fail('seed 7 no longer fights four rounds'));
      await page.screenshot({ path: join(dirname(pagePath), 'screenshot.png') });
      await page.keyboard.press('Space');
    };
    const steps = ['a', 'a', { answer: 'bob', typed: 'bxo' }, { key: 'Space', modifiers: true }, 'b', 'n', 'r', 'y', 'c',
      { key: 'ArrowDown' }, 'd', '1', { run: fight }, 'r', 'q'];
    const answers = answersOf(steps);
    const expected = runner(['--seed', Seed], answers, sampleData);

    const { page, errors } = await openPage(`?seed=${Seed}`);
    await waitForText(page, 'Your Choice: ', { timeout: 5000 });
    assert.equal(await page.title(), Title);
    assert.match(await page.textContent('#seed'), new RegExp(`Seed ${Seed}\\b`));
    assert.equal(await page.getAttribute('#seed a', 'href'), `?seed=${Seed}&pause=2000`);
    const { stdout: version } = await runner(['--version'], [], sampleData);
    assert.equal(await page.textContent('#version'), version.trim().replace(/^brawlarium/, 'Brawlarium'));

    await play(page, steps);
    await waitForText(page, 'Press any key to go on');

    const native = await expected;
    assert.equal(native.status, 0, native.stderr);
    const screen = await screenText(page);
    assert.deepEqual(screen.slice(-4), HeroKept('The game is over'));
    assert.deepEqual(screen.slice(0, -4), trimmedLines(withEchoedAnswers(native.stdout, answers)));

    // Bright for a hit, plain for a miss: green for the player, red for the monster.
    const colours = await strikeColours(page);
    const palette = { 'Bob deals': 10, 'Bob attacks': 2, 'Bob yells': 2,
      'Monster deals': 9, 'Monster hits': 1, 'Monster flails': 1 };
    for (const [opening, colour] of colours) assert.equal(colour, palette[opening], opening);
    const seen = new Set(colours.map(([, colour]) => colour));
    assert.deepEqual([...seen].sort((a, b) => a - b), [1, 2, 9, 10], 'seed 7 no longer shows every colour');

    // A key goes on with the hero at the main menu it quit, in a cleared
    // terminal; Ctrl-D on an empty line ends the input, and keeps the hero too.
    await page.keyboard.press('x');
    await waitUntil(page, 'answer');
    const menu = await screenText(page);
    assert.match(menu.slice(-4).join('\n'), /^D\. Fight in the Brawlarium!!\nQ\. Quit\n-+\nYour Choice:$/);
    assert.ok(!menu.some((line) => line.includes('hero is kept')), menu.join('\n'));
    assert.equal(await page.title(), Title);
    await page.keyboard.type('zz');
    await page.keyboard.press('Control+U');
    await page.keyboard.press('Control+D');
    await waitForText(page, 'Press any key to go on');
    assert.deepEqual((await screenText(page)).slice(-5), ['Your Choice:', ...HeroKept('The game is over')]);

    // With a selection made with the mouse, Ctrl+C, Ctrl+Shift+C and Cmd+C
    // copy it and clear it; without one, Ctrl-C stops a game as an interrupt
    // does in a terminal.
    await page.keyboard.press('Enter');
    await waitUntil(page, 'answer');
    for (const copy of ['Control+C', 'Control+Shift+C', 'Meta+C']) {
      const selected = await selectRowsWithMouse(page, 4);
      assert.match(selected, /^D\. Fight in the Brawlarium!! ?\nQ\. Quit\n-+\nYour Choice: ?$/);
      await page.keyboard.press(copy);
      assert.equal(await page.evaluate(() => navigator.clipboard.readText()), selected, copy);
      assert.equal(await page.evaluate(() => window.brawlarium.terminal.hasSelection()), false, copy);
      assert.equal(await page.evaluate(() => window.brawlarium.waitingFor), 'answer', copy);
    }
    await page.keyboard.press('Control+C');
    await waitForText(page, 'Press any key to go on');
    assert.deepEqual((await screenText(page)).slice(-5), ['Your Choice: ^C', ...HeroKept('The game was interrupted')]);

    // "New game" asks before it drops the kept hero, then plays a fresh game.
    await page.click('#new-game');
    await page.waitForSelector('#confirm[open]');
    await page.click('#confirm-replace');
    await waitUntil(page, 'answer');
    assert.equal((await screenText(page)).filter((line) => line.startsWith('Bob')).length, 0);
    assert.deepEqual(errors, []);
    await page.close();
  });

// A list given alone, or under another name, plays beside the other's sample.
const FileChoices = [
  [['weaponlist (1).txt', 'weaponlist.txt'], '#message',
    '"weaponlist (1).txt" and "weaponlist.txt" are both weapon lists: choose only one of them.'],
  [['notes.txt'], '#message', '"notes.txt" is not a price list: choose weaponlist.txt, armorlist.txt or both'],
  [['Armour.txt'], '#lists', 'Your Armour.txt with the sample weaponlist.txt'],
  [['weaponlist.txt'], '#lists', 'Your weaponlist.txt with the sample armorlist.txt'],
];

test('lists from the file input: names, one list alone, refused lists and their check in a dialog',
  { timeout: 60000 }, async () => {
    const folder = mkdtempSync(join(tmpdir(), 'brawlarium-lists-'));
    // The player's file keeps its name: the game's refusal and the check name it.
    const weapons = 'Bare Knuckles;1;4;20;2;0\nClub;1;6;20;2;5\n';
    writeFileSync(join(folder, 'bad-weaponlist.txt'), weapons);
    copyFileSync(join(sampleData, 'armorlist.txt'), join(folder, 'armorlist.txt'));
    const named = ['--weapon-list', 'bad-weaponlist.txt', '--armor-list', 'armorlist.txt'];
    const refused = await runner(named, [], folder);
    const checked = await runner(['--check-data', ...named], [], folder);
    assert.equal(refused.status, 1);
    assert.equal(trimmedLines(refused.stderr).length, 1);
    assert.match(refused.stderr, /bad-weaponlist\.txt \(used as the weapon list\)/);
    const file = (name, text = readFileSync(join(sampleData, name.includes('eapon') ? 'weaponlist.txt' : 'armorlist.txt'))) =>
      ({ name, mimeType: 'text/plain', buffer: Buffer.from(text) });

    const { page, errors } = await openPage();
    for (const [names, where, said] of FileChoices) {
      await waitUntil(page, 'answer');
      await page.setInputFiles('#list-files', names.map((name) => file(name)));
      await page.waitForFunction(([selector, said]) => document.querySelector(selector).textContent.startsWith(said),
        [where, said], { timeout: 5000 });
    }
    await waitUntil(page, 'answer');

    await page.setInputFiles('#list-files', [file('bad-weaponlist.txt', weapons), file('armorlist.txt')]);
    await waitUntil(page, 'end');
    assert.deepEqual(await screenText(page), [...trimmedLines(refused.stdout), ...trimmedLines(refused.stderr), '',
      'The game cannot play with your price lists, for the reason above.',
      'Fix the file and choose it again with "Use my price lists",', 'or press any key to play with the sample lists.']);
    assert.equal(await page.textContent('#lists'), 'Your bad-weaponlist.txt and armorlist.txt');
    assert.match(await page.textContent('#message'), /^Your price lists were refused: fix them/);

    // The check's report, in a dialog; closing it leaves the terminal as it was.
    const before = await screenText(page);
    await page.click('#check-lists');
    await page.waitForSelector('#report[open]');
    assert.deepEqual(trimmedLines(await page.textContent('#report-text')), trimmedLines(checked.stdout));
    // The report's own closing line sums it up.
    assert.equal(await page.textContent('#report-summary'), trimmedLines(checked.stdout).at(-1));
    assert.match(await page.textContent('#report-summary'), /^The game refuses these lists/);
    assert.match(await page.textContent('#message'), /^Your price lists were refused/);
    await page.click('#report-close');
    await page.waitForFunction(() => document.activeElement.className === 'xterm-helper-textarea', null, { timeout: 1000 });
    assert.deepEqual(await screenText(page), before);

    // A key plays on with the sample lists rather than the same refusal.
    await page.keyboard.press('x');
    await waitUntil(page, 'answer');
    assert.equal(await page.textContent('#lists'), 'The sample price lists');
    assert.deepEqual(errors, []);
    await page.close();
  });

// Tabs as the terminal shows them: spaces to the next stop of eight columns.
function expandedTabs(line) {
  let shown = '';
  for (const character of line) shown += character === '\t' ? ' '.repeat(8 - ([...shown].length % 8)) : character;
  return shown;
}

test('letters beyond ASCII in a name and in a list show as the Node runner prints them', { timeout: 60000 }, async () => {
  const folder = mkdtempSync(join(tmpdir(), 'brawlarium-utf8-'));
  const weapons = readFileSync(join(sampleData, 'weaponlist.txt'), 'utf8')
    .replace(/^Dagger;/m, 'Épée;').replace(/^Short Sword;/m, 'Épée Légère;');
  writeFileSync(join(folder, 'weaponlist.txt'), weapons);
  copyFileSync(join(sampleData, 'armorlist.txt'), join(folder, 'armorlist.txt'));
  const steps = ['a', 'a', 'Zoë', { key: 'Space' }, 'r', 'y', 'b', 'a', 'r', 'r', 'c', { key: 'Space' }, 'q'];
  const answers = answersOf(steps);

  const { page, errors } = await openPage();
  await waitUntil(page, 'answer');
  await page.setInputFiles('#list-files', [{ name: 'weaponlist.txt', mimeType: 'text/plain', buffer: Buffer.from(weapons) }]);
  await page.waitForFunction(() => document.querySelector('#lists').textContent.startsWith('Your weaponlist.txt'));
  await waitUntil(page, 'answer');
  const seed = (await page.textContent('#seed')).match(/^Seed (\d+) /)[1];
  await play(page, steps);
  await waitForText(page, 'Press any key to go on');
  const native = await runner(['--seed', seed], answers, folder);
  assert.equal(native.status, 0, native.stderr);
  assert.deepEqual((await screenText(page)).slice(0, -4),
    trimmedLines(withEchoedAnswers(native.stdout, answers)).map(expandedTabs));
  assert.deepEqual(errors, []);
  await page.close();
});

// Each control in the order Tab reaches it from the terminal, by its role and accessible name.
const Controls = [['link', 'replay this game'], ['button', 'New game'], ['button', 'Save file'],
  ['button', 'Open a save file…'], ['button', 'Share…'], ['button', 'Download recording'], ['button', 'Use my price lists…'], ['button', 'Check these lists'],
  ['button', 'Use the sample lists'], ['combobox', 'Round pause'], ['checkbox', 'Screen reader mode']];

test('Tab leaves the terminal for every control and back; screen-reader mode reads each screen out',
  { timeout: 30000 }, async () => {
    const { page, errors } = await openPage();
    await waitUntil(page, 'answer');
    await page.evaluate(() => {
      window.tooMuchOutput = false;
      new MutationObserver((changes) => {
        if (changes.some((change) => change.target.textContent.includes('Too much output'))) window.tooMuchOutput = true;
      }).observe(document.body, { subtree: true, childList: true, characterData: true });
    });
    const focused = (role, name) => page.getByRole(role, { name, exact: true })
      .evaluate((control) => control === document.activeElement && getComputedStyle(control).outlineStyle !== 'none');
    for (const [role, name] of Controls) {
      await page.keyboard.press('Tab');
      assert.ok(await focused(role, name), `Tab does not reach ${name} with a focus ring`);
    }
    for (const [role, name] of Controls.slice(0, -1).reverse()) {
      await page.keyboard.press('Shift+Tab');
      assert.ok(await focused(role, name), `Shift+Tab does not reach ${name}`);
    }
    await page.keyboard.press('Shift+Tab');
    await page.keyboard.press('Shift+Tab');
    assert.ok(await focused(...Controls.at(-1)), 'Shift+Tab does not leave the terminal');
    await page.keyboard.press('Space');
    await page.keyboard.type('x');
    assert.equal((await screenText(page)).at(-1), 'Your Choice: x');
    await page.keyboard.press('Backspace');

    // A round pause chosen with the mouse hands the keys back to the game.
    await page.click('#pause');
    await page.selectOption('#pause', '1000');
    assert.equal(await page.evaluate(() => document.activeElement.className), 'xterm-helper-textarea');
    await page.keyboard.type('x');
    assert.equal((await screenText(page)).at(-1), 'Your Choice: x');
    await page.keyboard.press('Backspace');

    const announced = () => page.textContent('#announcement');
    assert.match(await announced(), /^-------Main Menu-------\n PLEASE CHOOSE[^]*\nQ\. Quit\n-+\nYour Choice:$/);
    await page.keyboard.type('a\n');
    await page.waitForFunction(() => document.querySelector('#announcement').textContent.includes('Character Creation Menu'));
    assert.match(await announced(), /^----Character Creation Menu----\n[^]*\nYour Choice:$/);
    await page.waitForFunction(() => document.querySelector('.xterm-accessibility-tree').textContent.includes('A. Name Character'),
      null, { timeout: 2000 });
    assert.equal(await page.evaluate(() => window.tooMuchOutput), false);
    assert.deepEqual(errors, []);
    await page.close();
  });

test('a check keeps the game, list buttons ask first, and &pause=0 fights without pauses to the same transcript',
  { timeout: 60000 }, async () => {
    let fightTook;
    const fight = async (page) => {
      const start = Date.now();
      await waitUntil(page, 'key');
      fightTook = Date.now() - start;
      await page.keyboard.press('Space');
    };
    const check = async (page) => {
      await waitUntil(page, 'answer');
      await page.click('#check-lists');
      await page.waitForSelector('#report[open]');
      assert.equal(await page.textContent('#report-summary'), 'The game plays these lists: no faults, no warnings.');
      await page.keyboard.press('Escape');
      // A character exists: the sample lists ask first, and Escape keeps the game.
      await page.click('#sample-lists');
      await page.waitForSelector('#confirm[open]');
      assert.match(await page.textContent('#confirm-question'), /Your character in this game will be lost\.$/);
      await page.keyboard.press('Escape');
      await page.waitForFunction(() => document.activeElement.className === 'xterm-helper-textarea', null, { timeout: 1000 });
      // So does the replay link, the first stop of Tab.
      await page.keyboard.press('Tab');
      await page.keyboard.press('Enter');
      await page.waitForSelector('#confirm[open]');
      assert.equal(await page.textContent('#confirm-replace'), 'Replay');
      await page.keyboard.press('Escape');
      await page.waitForFunction(() => document.activeElement.className === 'xterm-helper-textarea', null, { timeout: 1000 });
      assert.match(page.url(), new RegExp(`\\?seed=${Seed}&pause=0$`));
    };
    const steps = ['a', 'a', { answer: 'bob', typed: 'bxo' }, { key: 'Space' }, 'b', 'n', 'r', 'y', { run: check }, 'c',
      { key: 'x' }, 'd', '1', { run: fight }, 'r'];
    const answers = answersOf(steps);
    const expected = runner(['--seed', Seed], answers, sampleData);
    const { page, errors } = await openPage(`?seed=${Seed}&pause=0`);
    await waitUntil(page, 'answer');
    assert.equal(await page.inputValue('#pause'), '0');
    assert.equal(await page.getAttribute('#seed a', 'href'), `?seed=${Seed}&pause=0`);
    await play(page, steps);
    assert.ok(fightTook < 1500, `four rounds took ${fightTook} ms without pauses`);
    await waitUntil(page, 'answer');
    const native = await expected;
    assert.deepEqual(await screenText(page), trimmedLines(withEchoedAnswers(native.stdout, answers)));

    // Leaving the page asks first while a character exists that the browser
    // cannot keep (here its storage refuses the next answer).
    await page.evaluate(() => {
      Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };
    });
    await play(page, ['z']);
    await waitUntil(page, 'answer');
    const asked = new Promise((seen) => page.once('dialog', (dialog) => dialog.dismiss().then(() => seen(dialog.type()))));
    await page.close({ runBeforeUnload: true });
    assert.equal(await asked, 'beforeunload');
    assert.equal(await page.evaluate(() => window.brawlarium.waitingFor), 'answer');

    // Confirmed from the keyboard, a new game starts, with a seed of its own,
    // and the address no longer names the link's.
    await page.click('#sample-lists');
    await page.waitForSelector('#confirm[open]');
    await page.keyboard.press('Shift+Tab');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => !/^Seed 7 /.test(document.querySelector('#seed').textContent), null, { timeout: 5000 });
    await waitUntil(page, 'answer');
    assert.doesNotMatch(await page.textContent('#seed'), new RegExp(`Seed ${Seed}\\b`));
    assert.doesNotMatch(page.url(), /[?&](seed|pause)=/);
    assert.equal((await screenText(page)).filter((line) => line.startsWith('Bob')).length, 0);
    assert.deepEqual(errors, []);
    await page.close();
  });

// A link's seed plays one game; every other game, and a link whose seed the
// game refuses, gets a new seed.
test('seeds: new ones for quick restarts and after a replay, and a page message for a refused one',
  { timeout: 30000 }, async () => {
    const shownSeed = async (page) => {
      const seed = (await page.textContent('#seed')).match(/^Seed (\d+) · /)?.[1];
      assert.ok(Number(seed) <= 4294967295, `no seed shown: ${seed}`);
      assert.equal(await page.getAttribute('#seed a', 'href'), `?seed=${seed}&pause=2000`);
      return seed;
    };
    for (const query of ['?seed=abc', '?seed=', '?seed=4294967296&pause=60001']) {
      const { page, errors } = await openPage(query);
      await waitUntil(page, 'answer');
      const message = await page.textContent('#message');
      assert.ok(message.startsWith('This link\'s seed is not a number from 0 to 4294967295; here is a new game'));
      assert.equal(message.includes('. This link\'s round pause is not a number'), query.includes('pause'));
      assert.equal(await page.inputValue('#pause'), '2000');
      await shownSeed(page);
      assert.deepEqual(errors, []);
      await page.close();
    }
    const { page, errors } = await openPage(`?seed=${Seed}`);
    await waitUntil(page, 'answer');
    const seeds = [await shownSeed(page)];
    for (const restart of ['Control+C', 'Control+C', 'sample lists']) {
      if (restart === 'sample lists') {
        await page.click('#sample-lists');
      } else {
        await page.keyboard.press(restart);
        await waitUntil(page, 'end');
        await page.keyboard.press('x');
      }
      await waitUntil(page, 'answer');
      seeds.push(await shownSeed(page));
    }
    assert.equal(new Set(seeds).size, seeds.length, `seeds repeat: ${seeds}`);
    assert.deepEqual(errors, []);
    await page.close();
  });

for (const [name, device, smallestFont] of Phones) {
  test(`on a phone (${name}) the page reads, takes answers through its field and keeps the prompt in view`,
    { timeout: 60000 }, async () => {
      const upright = device.viewport.height > device.viewport.width;
      // The name goes in with a slip mended inside a composition.
      const steps = upright ? ['a', 'a', { answer: 'Thorga', committed: 'Thor', composing: 'gax' }, { endInput: true },
        { tap: '#terminal' }, 'b n', 'r', 'y', 'c', { tap: ContinueButton }, 'c', { send: true }, 'c', { commit: 'yes' },
        'q'] : [];
      const answers = answersOf(steps);
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

        // The check's report fits the screen, wrapped, with its Close button in reach.
        await page.tap('#check-lists');
        await page.waitForSelector('#report[open]');
        await assertWithinVisualViewport(page, ['#report', '#report-close']);
        assert.ok(await page.$eval('#report-text', (text) => text.scrollWidth <= text.clientWidth), 'the report does not wrap');
        await page.tap('#report-close');
        // The dialog's close event gives the field the focus anew; a
        // composition begun before that would be cut off by it.
        await page.waitForSelector('#report', { state: 'hidden' });
        await page.evaluate(() => new Promise((done) => setTimeout(() => requestAnimationFrame(done), 0)));
        assert.equal(await page.inputValue(AnswerField), '');

        for (const step of steps) {
          if (typeof step === 'string' || step.answer) {
            await composeAnswer(page, cdp, step);
          } else if (step.endInput) {
            // With a character, End input asks first; "Keep playing" goes on.
            await waitUntil(page, 'key');
            await page.tap('role=button[name="End input"]');
            await page.waitForSelector('#confirm[open]');
            await assertWithinVisualViewport(page, ['#confirm', '#confirm-replace', '#confirm-keep']);
            await page.tap('#confirm-keep');
            assert.equal(await page.evaluate(() => window.brawlarium.waitingFor), 'key');
          } else {
            await waitUntil(page, 'key');
            assert.ok(await page.isVisible(ContinueButton));
            // A word committed at a key wait is one key press: the rest is dropped.
            if (step.tap) await page.tap(step.tap);
            else if (step.commit) await cdp.send('Input.insertText', { text: step.commit });
            else await page.keyboard.press('Enter');
            await waitUntil(page, 'answer');
            assert.ok(!await page.isVisible(ContinueButton));
            assert.ok(!(await layout(page)).rows.some((row) => row.startsWith('Name: ')), 'the screen before the clear shows');
          }
        }
        if (upright) {
          await waitForText(page, 'Press any key to go on');
          await page.screenshot({ path: join(dirname(pagePath), `screenshot-${name.replace(/ /g, '-')}.png`) });
          const native = await expected;
          assert.deepEqual((await screenText(page)).slice(0, -4), trimmedLines(withEchoedAnswers(native.stdout, answers)));
          // New game, confirmed, drops the kept hero for a fresh game; the
          // bar's End input ends it as Ctrl-D does.
          await page.tap('#new-game');
          await page.waitForSelector('#confirm[open]');
          await page.tap('#confirm-replace');
          await waitUntil(page, 'answer');
          await page.tap('role=button[name="End input"]');
          await waitForText(page, 'Press any key to play again.');
          assert.deepEqual((await screenText(page)).slice(-3), ['Your Choice:', '', 'The game is over. Press any key to play again.']);
          // A refusal names the list button as this screen labels it.
          await page.setInputFiles('#list-files', [{ name: 'weaponlist.txt', mimeType: 'text/plain', buffer: Buffer.from('Club;1;6;20;2;5\n') }]);
          await waitForText(page, 'or press any key to play with the sample lists.');
          assert.ok((await screenText(page)).includes('Fix the file and choose it again with "My lists",'));
        }
        assert.deepEqual(errors, []);
      } finally {
        await phone.close();
      }
    });
}

// The lines from the last that starts with `opening` on.
const fromLast = (lines, opening) => lines.slice(lines.findLastIndex((line) => line.startsWith(opening)));

// A seeded generator (mulberry32) of numbers from 0 to 1.
const seededRandom = (seed) => () => {
  seed = (seed + 0x6d2b79f5) >>> 0;
  let mixed = Math.imul(seed ^ (seed >>> 15), 1 | seed);
  mixed ^= mixed + Math.imul(mixed ^ (mixed >>> 7), 61 | mixed);
  return ((mixed ^ (mixed >>> 14)) >>> 0) / 2 ** 32;
};

test('a game reloaded and quit at random points, and its share link, reach the game played through; its recording plays; nothing leaves',
  { timeout: 150000 }, async (t) => {
    const cutSeed = Number(process.env.BRAWLARIUM_CUT_SEED || Math.floor(Math.random() * 2 ** 32));
    t.diagnostic(`cuts drawn from seed ${cutSeed} (BRAWLARIUM_CUT_SEED=${cutSeed} draws them again)`);
    const draw = seededRandom(cutSeed);
    const pick = (choices) => choices[Math.floor(draw() * choices.length)];
    // Reloaded once the game reads (and so has kept all it was given), or after its end.
    const atWait = (page) => page.waitForFunction(() => ['answer', 'key', 'end'].includes(window.brawlarium?.waitingFor),
      null, { timeout: 15000, polling: 50 });
    const reload = async (page) => {
      await atWait(page);
      await page.reload();
      await waitForText(page, 'Your game was restored', { timeout: 10000 }).catch(() => {});
      assert.equal(await page.textContent('#message'), 'Your game was restored.');
    };
    // Quitting at the main menu keeps the hero: a key, or a reload, goes on there.
    const quit = (goOn) => async (page) => {
      await play(page, ['q']);
      await waitForText(page, 'Press any key to go on');
      assert.deepEqual((await screenText(page)).slice(-4), HeroKept('The game is over'));
      await page.screenshot({ path: join(dirname(pagePath), 'screenshot-hero-kept.png') });
      if (goOn === 'reload') await reload(page);
      else await page.keyboard.press('Enter');
      await waitUntil(page, 'answer');
      assert.match((await screenText(page)).slice(-4).join('\n'), /^D\. Fight in the Brawlarium!!\nQ\. Quit\n-+\nYour Choice:$/);
    };
    const skipFight = async (page) => {
      await waitUntil(page, 'pause', 30000);
      await page.click('#skip');
    };
    // The game played straight through, and where it may be cut: a quit at
    // the main menu with a hero, reloads at any question or key wait.
    const game = ['a', 'a', 'bob', { key: 'Space' }, 'b', 'n', 'r', 'y', 'd', '1', { run: skipFight },
      { key: 'Space' }, 'r', 'c'];
    const goOn = pick(['key', 'reload']);
    const cuts = new Map([[pick([8, 13]), { run: quit(goOn), name: `quit, then a ${goOn}` }]]);
    while (cuts.size < 3) {
      const at = 1 + Math.floor(draw() * (game.length - 1));
      if (!cuts.has(at) && !game[at].run) cuts.set(at, { run: reload, name: 'reload' });
    }
    const steps = game.flatMap((step, at) => (cuts.has(at) ? [cuts.get(at), step] : [step]));
    t.diagnostic(`cut before steps ${[...cuts].sort(([a], [b]) => a - b).map(([at, { name }]) => `${at} (${name})`).join(', ')}`);
    const expected = runner(['--seed', Seed], answersOf(steps), sampleData);
    const { page, errors } = await openPage(`?seed=${Seed}`);
    await play(page, steps);
    await waitUntil(page, 'key');
    // What the game wrote before it waited is on screen once the terminal has parsed it.
    await page.evaluate(() => new Promise((done) => window.brawlarium.terminal.write('', done)));
    const stats = fromLast(await screenText(page), 'View Stats Selected');
    const native = trimmedLines(withEchoedAnswers((await expected).stdout, answersOf(steps)));
    assert.deepEqual(stats, native.slice(native.lastIndexOf(stats[0]), native.lastIndexOf(stats[0]) + stats.length));
    assert.match(stats.join('\n'), /Experience: 300/);

    const refused = await page.evaluate(() => fetch('data:text/plain,x').then(() => 'fetched', () => 'refused'));
    assert.equal(refused, 'refused', 'the page may connect');

    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#download-recording')]);
    const cast = join(mkdtempSync(join(tmpdir(), 'brawlarium-cast-')), 'game.cast');
    await download.saveAs(cast);
    const shown = execFileSync('script', ['-qec', `asciinema cat ${cast}`, '/dev/null'], { encoding: 'utf8', timeout: 20000 })
      // eslint-disable-next-line no-control-regex
      .replace(/\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07|\r/g, '');
    for (const line of stats) assert.ok(shown.includes(line), `the recording lacks ${line}`);

    await page.click('#share');
    // The link is made (compressed) before its dialog opens.
    await page.waitForSelector('#share-dialog[open]');
    const link = new URL(await page.inputValue('#share-link'));
    await page.keyboard.press('Escape');
    // The link cut short: refused in words, and the kept game left as it was.
    const kept = await page.evaluate(() => JSON.stringify(localStorage));
    await page.goto(`${pathToFileURL(pagePath)}${link.hash.slice(0, -20)}`);
    await waitUntil(page, 'answer');
    assert.equal(await page.textContent('#message'), 'This shared link does not read: it was cut short or altered; here is a new game.');
    assert.equal(await page.evaluate(() => JSON.stringify(localStorage)), kept);
    const { page: viewer, errors: viewerErrors } = await openPage(link.hash);
    await viewer.selectOption('#playback-speed', 'Infinity');
    await waitForText(viewer, 'Press any key to continue...', { timeout: 60000 });
    await viewer.waitForFunction(() => document.querySelector('#message').textContent.startsWith('The shared game ends here'),
      null, { timeout: 60000 });
    assert.deepEqual(fromLast(await screenText(viewer), 'View Stats Selected'), stats);
    assert.deepEqual([...errors, ...viewerErrors], []);
    await Promise.all([page.close(), viewer.close()]);
  });

// FNV-1a, 64 bits, as the save file's header writes a list's digest.
function listDigest(bytes) {
  let digest = 0xcbf29ce484222325n;
  for (const byte of bytes) digest = BigInt.asUintN(64, (digest ^ BigInt(byte)) * 0x100000001b3n);
  return `fnv1a64:${digest.toString(16).padStart(16, '0')}`;
}

test('a shared link\'s lists show their names as text, and no script of theirs runs', { timeout: 60000 }, async () => {
  const names = ['<img src=x onerror=alert(1)>', '</script><script>alert(2)</script>'];
  // The sample weapons, the first two renamed.
  const sample = readFileSync(join(sampleData, 'weaponlist.txt'), 'utf8').split('\n');
  const weapons = new TextEncoder().encode(sample.map((line, at) => (names[at] ?? '') + line.slice(names[at] ? line.indexOf(';') : 0)).join('\n'));
  const armors = readFileSync(join(sampleData, 'armorlist.txt'));
  const header = `brawlarium save 1\ngenerator musl\nseed 7\nweapons ${listDigest(weapons)}\narmors ${listDigest(armors)}\nkeys\n`;
  const lists = new Map([['weapon', { name: 'weapon<img src=x onerror=alert(3)>.txt', bytes: weapons }]]);
  const { link } = await shareLink({ save: `${header}a\na\nbob\n\nr\ny\nb\na\n`, pause: '0', lists });
  const { page, errors } = await openPage(link);
  const dialogs = [];
  page.on('dialog', (dialog) => { dialogs.push(dialog.message()); dialog.dismiss(); });
  await waitForText(page, 'What weapon would you like to buy?');
  const screen = (await screenText(page)).join('\n');
  for (const name of names) assert.ok(screen.includes(name), `${name} is not shown`);
  assert.match(await page.textContent('#lists'), /^Your weapon<img src=x onerror=alert\(3\)>\.txt with/);
  // The page's own four scripts (the game, its wasm, its loader, the page), and no image.
  assert.deepEqual(await page.evaluate(() => [document.images.length, document.scripts.length]), [0, 4]);
  assert.deepEqual([dialogs, errors], [[], []]);
  await page.close();
});

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
