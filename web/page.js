// The page plays the WebAssembly game in an xterm.js terminal. It is only a
// host (the interface is documented in src/console/console_web.cpp): every
// rule and text stays in the module, one instance per game. A Game carries
// bytes and keys between the terminal and its instance: typed text is the
// line being edited (echo, Backspace, Ctrl-U, Enter sends it, Ctrl-D on an
// empty line ends the input), lines typed ahead wait until the game asks; a
// key wait takes the next key press; from the start of a pause until the
// game next reads, key presses queue for the next key wait, and what is left
// of them becomes typed text at the next question, as in a console. Ctrl-C
// abandons the instance: its waits never settle and its output is dropped.
// The module's exit() unwinds by throwing ExitStatus, which onExit has seen,
// so the page does not report it as an error. Windows smaller than 80x24
// cells get a smaller font rather than a smaller terminal, down to a size
// still readable on a phone; below that the terminal takes the columns and
// rows that fit, and long lines wrap. It never has more than 50 rows, so the
// game's clear by 50 line ends leaves nothing of the screen before.
// On touch screens a native answer field takes the typing: what it commits
// at a key wait or during a pause are key presses, a sent line is typed text
// followed by Enter, and a tap on the terminal or the Continue button is a
// key press. The page follows the visual viewport, so the prompt and the
// field stay above an on-screen keyboard.
// Tab leaves the terminal for the page's controls; in screen-reader mode each
// screen the game shows is read out through a polite live region. A check
// of the price lists runs in an instance of its own, so the game on the
// screen goes on; replacing a game that has a character is confirmed.
import { Terminal } from '@xterm/xterm';
import { FitAddon } from '@xterm/addon-fit';

const MinColumns = 80;
const MinRows = 24;
const FontSize = 16;
const MaxRows = 50;
// The smallest font a phone held upright still reads comfortably: 12 px from
// 390 px wide, 11 px on narrower screens.
const ReadableFontSize = 12;
const NarrowReadableFontSize = 11;
const NarrowScreenWidth = 390;
const TouchQuery = matchMedia('(pointer: coarse)');
// Below this height (a phone turned, with its keyboard up) the status bar
// gives its room to the terminal.
const ShortHeight = 300;
const MaxSeed = 4294967295;
const LongestPause = 60000;
const DefaultPause = '2000';
const PauseKey = 'brawlarium.pause';
// The shortest pause between rounds in which a screen reader reads a round.
const ReadablePause = 1000;
const Encoder = new TextEncoder();
const ListNames = ['weaponlist.txt', 'armorlist.txt'];
const ListKinds = ['weapon', 'armor'];
// Where the module holds its built-in sample lists.
const SampleFolder = '/usr/share/games/brawlarium';
// Colour and other control sequences, which a screen reader should not read.
const Escapes = /\x1b(\[[0-?]*[ -/]*[@-~]|\][^\x07\x1b]*(\x07|\x1b\\)|[@-Z\\-_])/g;
const PageTitle = document.title;

const terminal = new Terminal({
  convertEol: true,
  scrollback: 10000,
  cursorBlink: false,
  fontFamily: '"Cascadia Mono", Consolas, "DejaVu Sans Mono", "Liberation Mono", monospace',
  fontSize: FontSize,
  theme: {
    background: '#0c0c0c',
    foreground: '#cccccc',
    cursor: '#cccccc',
    selectionBackground: '#4a4a7a',
    black: '#0c0c0c',
    red: '#d03a3a',
    green: '#3ca83c',
    yellow: '#c19c00',
    blue: '#3b78ff',
    magenta: '#b4009e',
    cyan: '#3a96dd',
    white: '#cccccc',
    brightBlack: '#767676',
    brightRed: '#ff6b6b',
    brightGreen: '#7dff7d',
    brightYellow: '#f9f1a5',
    brightBlue: '#7fb2ff',
    brightMagenta: '#e070d0',
    brightCyan: '#61d6d6',
    brightWhite: '#f2f2f2',
  },
});
const fitAddon = new FitAddon();

// What the game wrote since it last waited for the player and is still on
// the screen, as plain lines: what a screen clear's line ends scrolled away
// and the blank lines themselves are left out. Read out in screen-reader mode.
class Announcer {
  constructor(region, rows) {
    this.region = region;
    this.rows = rows;
    this.enabled = false;
    this.reset();
  }

  reset() {
    this.written = '';
    this.screen = '';
  }

  add(text) {
    this.written += text;
  }

  flush() {
    const lines = this.written.replace(Escapes, '').replace(/\r/g, '').split('\n').map((line) => line.trimEnd());
    this.written = '';
    let shown = 0;
    let blanks = 0;
    lines.forEach((line, at) => {
      blanks = line === '' ? blanks + 1 : 0;
      if (blanks >= this.rows()) shown = at;
    });
    const screen = lines.slice(shown).filter((line) => line !== '');
    if (screen.length > 0) this.show(screen.join('\n'));
  }

  show(text) {
    this.screen = text;
    if (this.enabled) this.region.textContent = text;
  }

  enable(on) {
    this.enabled = on;
    this.region.textContent = on ? this.screen : '';
  }
}

// Writes the chosen lists into the working folder of an instance; when only
// one is given, the sample of the other goes beside it.
function writeLists(module, lists) {
  if (lists.size === 0) return;
  for (const name of ListNames) {
    const bytes = lists.get(name)?.bytes ?? module.FS.readFile(`${SampleFolder}/${name}`);
    module.FS.writeFile(name, bytes);
  }
}

class Game {
  constructor(commandLine, lists, announcer, onEnd) {
    this.onEnd = onEnd;
    this.announcer = announcer;
    this.line = [];
    this.lines = [];
    this.keysAhead = [];
    this.keyMode = false;
    this.inputEnded = false;
    this.answerWaiter = null;
    this.keyWaiter = null;
    this.timer = null;
    this.roundPause = null;
    this.stopped = false;
    this.instance = null;
    this.decoder = new TextDecoder();
    createBrawlarium({
      arguments: commandLine,
      host: this.host(),
      preRun: [(module) => writeLists(module, lists)],
      onExit: (status) => this.end(`status ${status}`),
      onAbort: () => this.end('error'),
    }).then((instance) => { this.instance = instance; },
      (error) => this.end('error', error));
  }

  host() {
    return {
      isTerminal: true,
      environment: { TERM: 'xterm-256color' },
      write: (stream, bytes) => this.show(bytes),
      readAnswers: () => this.nextLine(),
      readKey: () => this.nextKey(),
      setTitle: (text) => { if (!this.stopped) document.title = text; },
      restoreTitle: () => { if (!this.stopped) document.title = PageTitle; },
      pause: (ms) => this.pause(ms),
    };
  }

  get waitingFor() {
    if (this.stopped) return 'end';
    if (this.answerWaiter) return 'answer';
    if (this.keyWaiter) return 'key';
    return this.timer ? 'pause' : 'busy';
  }

  // Whether the running game has a named character, which replacing it loses.
  get hasCharacter() {
    return !this.stopped && this.instance?._brawlariumCharacterExists() === 1;
  }

  // The game writes UTF-8, and a character may end in the next write: the
  // decoder keeps its first bytes until then.
  show(bytes, more = true) {
    if (this.stopped) return;
    const text = this.decoder.decode(bytes, { stream: more });
    if (text === '') return;
    terminal.write(text);
    this.announcer.add(text);
  }

  nextLine() {
    if (this.stopped) return new Promise(() => {});
    this.announcer.flush();
    this.keyMode = false;
    this.keysAhead.splice(0).forEach((key) => this.edit(key));
    if (this.lines.length > 0) return Promise.resolve(this.lines.shift());
    if (this.inputEnded) return Promise.resolve(new Uint8Array(0));
    return new Promise((resolve) => { this.answerWaiter = resolve; });
  }

  nextKey() {
    if (this.stopped) return new Promise(() => {});
    this.announcer.flush();
    this.keyMode = false;
    if (this.keysAhead.length > 0) {
      this.keysAhead.shift();
      return Promise.resolve();
    }
    return new Promise((resolve) => {
      this.keyWaiter = resolve;
      showKeyWait(true);
    });
  }

  // The game asks for its --pause; the player may have chosen another since.
  // Rounds that follow each other faster than they can be read out are read
  // together at the next question or key wait.
  pause(ms) {
    if (this.stopped) return new Promise(() => {});
    const pause = this.roundPause ?? ms;
    if (pause >= ReadablePause) this.announcer.flush();
    this.keyMode = true;
    return new Promise((resolve) => {
      this.timer = setTimeout(() => { this.timer = null; resolve(); }, pause);
    });
  }

  type(data) {
    if (data === '\x03') {
      terminal.write('^C');
      this.end('interrupted');
    } else if (this.keyWaiter) {
      const resolve = this.keyWaiter;
      this.keyWaiter = null;
      showKeyWait(false);
      resolve();
    } else if (this.keyMode) {
      this.keysAhead.push(data);
    } else {
      this.edit(data);
    }
  }

  // A tap is a key press where the game awaits or queues one; elsewhere it
  // is no key at all, and the caller brings up the answer field instead.
  tap() {
    if (!this.keyWaiter && !this.keyMode) return false;
    this.type('');
    return true;
  }

  get takesKeys() {
    return Boolean(this.keyWaiter) || this.keyMode;
  }

  edit(data) {
    if (data.startsWith('\x1b')) return;
    let previous = '';
    for (const character of data) {
      if (character === '\r' || (character === '\n' && previous !== '\r')) {
        terminal.write('\r\n');
        this.send('\n');
      } else if (character === '\x7f' || character === '\b') {
        this.erase();
      } else if (character === '\x15') {
        while (this.line.length > 0) this.erase();
      } else if (character === '\x04') {
        if (this.line.length === 0) this.inputEnded = true;
        this.send('');
      } else if (character === '\t' || character >= ' ') {
        const shown = character === '\t' ? ' ' : character;
        this.line.push(shown);
        terminal.write(shown);
      }
      previous = character;
    }
  }

  // At the first column of a wrapped row the character erased is the last
  // one of the row above.
  erase() {
    if (this.line.length === 0) return;
    this.line.pop();
    if (terminal.buffer.active.cursorX > 0) terminal.write('\b \b');
    else terminal.write(`\x1b[A\x1b[${terminal.cols}G\x1b[K`);
  }

  send(ending) {
    const bytes = Encoder.encode(this.line.join('') + ending);
    this.line = [];
    if (this.answerWaiter) {
      const resolve = this.answerWaiter;
      this.answerWaiter = null;
      resolve(bytes);
    } else {
      this.lines.push(bytes);
    }
  }

  end(how, detail) {
    if (this.stopped) return;
    // A character the game left unfinished shows as a terminal shows it.
    this.show(new Uint8Array(0), false);
    this.announcer.flush();
    this.stopped = true;
    this.keyWaiter = null;
    showKeyWait(false);
    clearTimeout(this.timer);
    this.timer = null;
    if (detail) console.error(detail);
    this.onEnd(how);
  }

  memory() {
    return this.instance?.HEAP8?.buffer.byteLength ?? 0;
  }
}

// Runs --check-data on the lists in an instance of its own, with no keyboard
// and no terminal; settles with its exit status and its report.
function checkLists(lists) {
  return new Promise((settle) => {
    const decoder = new TextDecoder();
    let report = '';
    const done = (status) => settle({ status, report: report + decoder.decode() });
    createBrawlarium({
      arguments: ['--check-data'],
      host: {
        isTerminal: false,
        environment: {},
        write: (stream, bytes) => { report += decoder.decode(bytes, { stream: true }); },
        readAnswers: () => Promise.resolve(new Uint8Array(0)),
        readKey: () => Promise.resolve(),
        pause: () => Promise.resolve(),
        setTitle: () => {},
      },
      preRun: [(module) => writeLists(module, lists)],
      onExit: done,
      onAbort: () => done(null),
    }).catch(() => done(null));
  });
}

const page = {
  game: null,
  lists: new Map(),
  listsRefused: false,
  commandLineRefused: false,
  linkSeed: null,
  seed: null,
  pause: DefaultPause,
  announcer: null,
  leaving: false,
};

function say(message) {
  document.getElementById('message').textContent = message;
}

function newSeed() {
  return String(crypto.getRandomValues(new Uint32Array(1))[0]);
}

// A link's seed plays its first game only; every later game gets a new one.
function seedForNextGame() {
  const seed = page.linkSeed ?? newSeed();
  if (page.linkSeed === null) forgetLinkAddress();
  page.linkSeed = null;
  return seed;
}

function isWholeNumberUpTo(text, largest) {
  return /^[0-9]+$/.test(text) && Number(text) <= largest;
}

// The seed and the pause of a replay link, each checked as the game would.
function takeAddress() {
  const address = new URLSearchParams(location.search);
  const seed = address.get('seed');
  const pause = address.get('pause');
  const refusals = [];
  if (seed !== null) {
    if (isWholeNumberUpTo(seed, MaxSeed)) page.linkSeed = seed;
    else refusals.push(`This link's seed is not a number from 0 to ${MaxSeed}; here is a new game`);
  }
  const pauseTaken = pause !== null && isWholeNumberUpTo(pause, LongestPause);
  if (pause !== null && !pauseTaken) {
    refusals.push(`This link's round pause is not a number of milliseconds from 0 to ${LongestPause}, ` +
      'so the game keeps its own');
  }
  say(refusals.join('. '));
  return pauseTaken ? String(Number(pause)) : null;
}

function startGame() {
  page.game?.end('replaced');
  terminal.reset();
  showKeyWait(false);
  page.announcer.reset();
  page.seed = seedForNextGame();
  showSeed();
  page.game = new Game(['--seed', page.seed, '--pause', page.pause], page.lists, page.announcer,
    (how) => gameEnded(how));
  focusInput();
}

function endSaying(how) {
  if (how === 'interrupted') return 'The game was interrupted. Press any key to play again.';
  if (how === 'error') return 'The game stopped on an internal error. Press any key to play again.';
  if (how === 'status 0') return 'The game is over. Press any key to play again.';
  if (how === 'status 1' && page.lists.size > 0) {
    page.listsRefused = true;
    say('Your price lists were refused: fix them and choose them again, or use the sample lists.');
    return 'The game cannot play with your price lists, for the reason above.\r\n' +
      `Fix the file and choose it again with "${listButtonLabel()}",\r\n` +
      'or press any key to play with the sample lists.';
  }
  return 'The game stopped before its end. Press any key to play again.';
}

// The list button as this screen labels it ("My lists" on a phone), without
// the ellipsis that says it opens a chooser.
function listButtonLabel() {
  return document.getElementById('use-lists').innerText.trim().replace(/…$/, '');
}

function gameEnded(how) {
  if (how === 'replaced') return;
  // Only the address can give the game a command line it refuses, and the
  // page checks it first; should the game still refuse one, a game with a
  // seed of the page's own takes its place, once.
  if (how === 'status 2' && !page.commandLineRefused) {
    page.commandLineRefused = true;
    say(`This link's seed is not a number from 0 to ${MaxSeed}; here is a new game`);
    startGame();
    return;
  }
  const saying = endSaying(how);
  terminal.write('', () => {
    const newLine = terminal.buffer.active.cursorX > 0 ? '\r\n' : '';
    terminal.write(`\x1b[0m${newLine}\r\n\x1b[90m${saying}\x1b[0m\r\n`);
  });
  page.announcer.show(saying);
  document.title = PageTitle;
  showKeyWait(true);
}

// After a game's end, a key starts the next one; after refused lists, with
// the sample lists rather than the same refusal again.
function startAfterEnd() {
  if (page.listsRefused) {
    useLists(new Map());
    say('Playing with the sample lists.');
  } else {
    say('');
    startGame();
  }
}

function showSeed() {
  const seedLine = document.getElementById('seed');
  const link = document.createElement('a');
  link.href = `?seed=${page.seed}&pause=${page.pause}`;
  link.innerHTML = '<span class="wide">replay this game</span><span class="narrow">replay</span>';
  link.addEventListener('click', (event) => replayFromLink(event, link));
  seedLine.replaceChildren(`Seed ${page.seed} · `, link);
}

// Following the replay link in this tab ends the game on the screen: with a
// character, the page asks first. A new tab or window loses nothing.
async function replayFromLink(event, link) {
  if (event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey || event.altKey) return;
  if (!page.game?.hasCharacter) return;
  event.preventDefault();
  if (await confirmReplacingGame('Replay this game from its start?', 'Replay')) {
    page.leaving = true;
    location.assign(link.href);
  }
}

// Once a game other than the link's own starts, the address no longer names
// the link's seed, so that a reload does not bring back an older game.
function forgetLinkAddress() {
  const address = new URL(location.href);
  if (!address.searchParams.has('seed') && !address.searchParams.has('pause')) return;
  address.searchParams.delete('seed');
  address.searchParams.delete('pause');
  history.replaceState(history.state, '', address);
}

// "Your weaponlist.txt with the sample armorlist.txt", or what else is in use.
function listsInUse(lists) {
  const [weapons, armors] = ListNames.map((name) => lists.get(name)?.fileName);
  if (weapons && armors) return `your ${weapons} and ${armors}`;
  if (weapons) return `your ${weapons} with the sample ${ListNames[1]}`;
  if (armors) return `your ${armors} with the sample ${ListNames[0]}`;
  return 'the sample price lists';
}

function capitalised(text) {
  return text[0].toUpperCase() + text.slice(1);
}

function useLists(lists) {
  page.lists = lists;
  page.listsRefused = false;
  document.getElementById('lists').textContent = capitalised(listsInUse(lists));
  say('');
  startGame();
}

// Which list a file is by its name: weaponlist.txt, "Weapons (2).txt",
// armour.txt and the like.
function listNameOf(fileName) {
  const lower = fileName.toLowerCase();
  if (lower.includes('weapon')) return ListNames[0];
  if (/armou?r/.test(lower)) return ListNames[1];
  return null;
}

async function useFiles(files) {
  const lists = new Map();
  for (const file of files) {
    const name = listNameOf(file.name);
    if (name === null) {
      say(`"${file.name}" is not a price list: choose weaponlist.txt, armorlist.txt or both ` +
        '(any file whose name says weapon or armor).');
      return;
    }
    if (lists.has(name)) {
      say(`"${lists.get(name).fileName}" and "${file.name}" are both ${ListKinds[ListNames.indexOf(name)]} ` +
        'lists: choose only one of them.');
      return;
    }
    lists.set(name, { fileName: file.name, bytes: new Uint8Array(await file.arrayBuffer()) });
  }
  if (lists.size > 0 && await confirmReplacingGame(`Start a new game with ${listsInUse(lists)}?`)) {
    useLists(lists);
  }
}

// Asks, when the running game has a character, whether to end it for a new
// one (or for what `action` names); settles with the answer, true at once
// when there is nothing to lose. "Keep playing" is the default.
function confirmReplacingGame(question, action = 'Start a new game') {
  if (!page.game?.hasCharacter) return Promise.resolve(true);
  const dialog = document.getElementById('confirm');
  document.getElementById('confirm-question').textContent =
    `${question} Your character in this game will be lost.`;
  document.getElementById('confirm-replace').textContent = action;
  dialog.returnValue = '';
  dialog.showModal();
  return new Promise((settle) => {
    dialog.addEventListener('close', () => {
      focusAfterDialog();
      settle(dialog.returnValue === 'replace');
    }, { once: true });
  });
}

// Leaving or reloading the page loses the character: the browser asks first,
// unless the page has just asked itself.
function askBeforeLeaving() {
  window.addEventListener('beforeunload', (event) => {
    if (page.leaving || !page.game?.hasCharacter) return;
    event.preventDefault();
    event.returnValue = '';
  });
}

const CheckSummaries = {
  0: 'The game plays these lists as they are.',
  1: 'The game refuses these lists: fix what the report names and choose them again.',
  3: 'The game plays these lists, but the report warns about them.',
};

async function showCheck() {
  const lists = page.lists;
  const message = document.getElementById('message').textContent;
  say(`Checking ${listsInUse(lists)}…`);
  const { status, report } = await checkLists(lists);
  say(message);
  document.getElementById('report-title').textContent = `Check of ${listsInUse(lists)}`;
  document.getElementById('report-summary').textContent =
    CheckSummaries[status] ?? 'The check stopped on an internal error.';
  document.getElementById('report-text').textContent = report;
  document.getElementById('report').showModal();
}

function setUpPause(linkPause) {
  const choice = document.getElementById('pause');
  const remembered = sessionStorage.getItem(PauseKey);
  page.pause = linkPause ?? (isWholeNumberUpTo(remembered ?? '', LongestPause) ? remembered : DefaultPause);
  if (![...choice.options].some((option) => option.value === page.pause)) {
    choice.add(new Option(`${Number(page.pause) / 1000} s`, page.pause));
  }
  choice.value = page.pause;
  // A choice made with the mouse or a finger sends the focus back to the
  // game, as the buttons do; the arrow keys leave it on the list.
  let pointed = false;
  choice.addEventListener('pointerdown', () => { pointed = true; });
  choice.addEventListener('keydown', () => { pointed = false; });
  choice.addEventListener('change', () => {
    page.pause = choice.value;
    sessionStorage.setItem(PauseKey, page.pause);
    if (page.game) page.game.roundPause = Number(page.pause);
    if (page.seed !== null) showSeed();
    if (pointed) focusInput();
    pointed = false;
  });
}

// The page's controls, in the order Tab reaches them.
function controls() {
  return [...document.querySelectorAll('#status a, #status button, #status select, #status input:not([hidden])')];
}

// The game never needs a Tab: Tab and Shift+Tab leave the terminal for the
// page's controls (Shift+Tab to the last of them) as elsewhere on a page.
function leavesTerminal(event) {
  if (event.key !== 'Tab' || event.ctrlKey || event.altKey || event.metaKey) return false;
  if (event.shiftKey && event.type === 'keydown') {
    event.preventDefault();
    controls().at(-1).focus();
  }
  return true;
}

// Ctrl+C, Ctrl+Shift+C and Cmd+C copy the selection and clear it, as web
// terminals do; without a selection Ctrl+C stays the interrupt.
function copiesSelection(event) {
  const copyKey = event.key.toLowerCase() === 'c' && !event.altKey && event.ctrlKey !== event.metaKey;
  if (!copyKey || !terminal.hasSelection()) return false;
  if (event.type !== 'keydown') return true;
  if (navigator.clipboard) {
    event.preventDefault();
    navigator.clipboard.writeText(terminal.getSelection()).catch((error) => console.error(error));
    terminal.clearSelection();
  } else {
    // Where the page is not a secure context, the browser's own copy, which
    // xterm.js fills with the selection.
    setTimeout(() => terminal.clearSelection());
  }
  return true;
}

// The keys the page takes before the terminal sees them.
function takePageKeys() {
  terminal.attachCustomKeyEventHandler((event) => !leavesTerminal(event) && !copiesSelection(event));
}

// The page's live region reads the game out; the terminal's own would
// announce a screen clear's 50 line ends as "too much output".
function setScreenReaderMode(on) {
  terminal.options.screenReaderMode = on;
  document.querySelectorAll('#terminal .live-region').forEach((region) => region.remove());
  // The rows a screen reader reads are filled at the next refresh.
  terminal.refresh(0, terminal.rows - 1);
  page.announcer.enable(on);
}

function readableFontSize() {
  return window.innerWidth >= NarrowScreenWidth ? ReadableFontSize : NarrowReadableFontSize;
}

// The largest font up to FontSize that shows 80x24 cells, but no smaller
// than a readable size: then the terminal has the cells that fit.
function fitTerminal() {
  const smallest = readableFontSize();
  let size = fitAddon.proposeDimensions();
  if (!size) return;
  const room = Math.min(size.cols / MinColumns, size.rows / MinRows);
  let fontSize = Math.max(smallest, Math.min(FontSize, Math.floor(terminal.options.fontSize * room)));
  for (;;) {
    if (fontSize !== terminal.options.fontSize) terminal.options.fontSize = fontSize;
    size = fitAddon.proposeDimensions() ?? size;
    if (fontSize <= smallest || (size.cols >= MinColumns && size.rows >= MinRows)) break;
    fontSize -= 1;
  }
  terminal.resize(Math.max(1, size.cols), Math.max(1, Math.min(MaxRows, size.rows)));
}

const isTouch = () => TouchQuery.matches;
const answerField = () => document.getElementById('answer');

function focusInput() {
  if (isTouch()) answerField().focus();
  else terminal.focus();
}

// A closing dialog gives the focus back to where it was on its own, but an
// input method does not follow that focus: the field takes it anew.
function focusAfterDialog() {
  if (document.activeElement === answerField()) answerField().blur();
  focusInput();
}

// The Continue button stands in for a key press while the game waits for one.
function showKeyWait(waiting) {
  document.getElementById('continue').hidden = !waiting;
  document.getElementById('send').hidden = waiting;
}

function typeIntoGame(data) {
  if (page.game && !page.game.stopped) page.game.type(data);
  else if (data !== '\x03') startAfterEnd();
}

// Key by key, so that a line sent during a pause queues as the keys it holds.
function typeKeys(text) {
  for (const key of text) typeIntoGame(key);
}

// After the game's end the line only starts the next game, as any key does.
function sendAnswer(ending) {
  const field = answerField();
  const text = field.value;
  field.value = '';
  if (page.game && !page.game.stopped) typeKeys(text + ending);
  else startAfterEnd();
}

// End input on an empty field ends the game's input, and so the game: with
// a character, the page asks first.
async function endInput() {
  if (answerField().value !== '' || await confirmReplacingGame('End the game\'s input? The game ends.', 'End input')) {
    sendAnswer('\x04');
  }
}

// At a key wait or during a pause what the input method has committed, a
// letter or a whole word, is one key press: the rest is dropped rather than
// left as typed text hidden behind the next screen. A composition still in
// progress is left alone.
function takeKeys(field) {
  if (field.value === '' || (page.game && !page.game.stopped && !page.game.takesKeys)) return;
  const [key] = field.value;
  field.value = '';
  if (page.game && !page.game.stopped) typeIntoGame(key);
  else startAfterEnd();
}

function tapTerminal() {
  if (!isTouch()) return;
  if (!page.game || page.game.stopped) startAfterEnd();
  else if (!page.game.tap()) answerField().focus();
}

function setUpAnswerField() {
  const field = answerField();
  let composing = false;
  document.getElementById('answer-bar').addEventListener('submit', (event) => {
    event.preventDefault();
    if (!composing) sendAnswer('\r');
  });
  document.getElementById('end-input').addEventListener('click', endInput);
  document.getElementById('continue').addEventListener('click', () => {
    if (!page.game || page.game.stopped) startAfterEnd();
    else page.game.tap();
  });
  // The bar's buttons leave the focus, and so the on-screen keyboard, where it is.
  document.getElementById('answer-bar').addEventListener('mousedown', (event) => {
    if (event.target.closest('button')) event.preventDefault();
  });
  field.addEventListener('compositionstart', () => { composing = true; });
  field.addEventListener('compositionend', () => {
    composing = false;
    takeKeys(field);
  });
  field.addEventListener('input', (event) => {
    if (!composing && !event.isComposing && event.inputType.startsWith('insert')) takeKeys(field);
  });
  field.addEventListener('keydown', (event) => {
    if (event.key === 'Backspace' && field.value === '' && !composing) typeIntoGame('\x7f');
  });
  field.addEventListener('focus', () => terminal.scrollToBottom());
  // On a touch screen the terminal never takes the focus: its own text area
  // would bring up a keyboard whose compositions it cannot follow.
  const screen = document.getElementById('terminal');
  screen.addEventListener('mousedown', (event) => {
    if (!isTouch()) return;
    event.preventDefault();
    event.stopPropagation();
  }, true);
  screen.addEventListener('click', tapTerminal);
  terminal.textarea.addEventListener('focus', () => { if (isTouch()) field.focus(); });
  const showTouch = () => document.body.classList.toggle('touch', isTouch());
  TouchQuery.addEventListener('change', showTouch);
  showTouch();
}

// The page keeps to the visual viewport, the part of the window an
// on-screen keyboard leaves, so that the prompt and the field stay in view.
function followVisualViewport() {
  const viewport = window.visualViewport;
  if (!viewport) return;
  const follow = () => {
    // A pinch zoom also shrinks the visual viewport: then the page keeps its layout.
    const zoomed = viewport.scale > 1.01;
    const style = document.documentElement.style;
    style.setProperty('--viewport-height', zoomed ? '100%' : `${viewport.height}px`);
    style.setProperty('--viewport-top', zoomed ? '0px' : `${viewport.offsetTop}px`);
    style.setProperty('--viewport-bottom',
      zoomed ? '0px' : `${Math.max(0, window.innerHeight - viewport.offsetTop - viewport.height)}px`);
    document.body.classList.toggle('short', !zoomed && viewport.height < ShortHeight);
  };
  viewport.addEventListener('resize', follow);
  viewport.addEventListener('scroll', follow);
  follow();
}

function setUpListButtons() {
  const fileInput = document.getElementById('list-files');
  document.getElementById('use-lists').addEventListener('click', () => fileInput.click());
  fileInput.addEventListener('change', () => {
    useFiles([...fileInput.files]);
    fileInput.value = '';
  });
  document.getElementById('check-lists').addEventListener('click', showCheck);
  document.getElementById('sample-lists').addEventListener('click', async () => {
    if (await confirmReplacingGame('Start a new game with the sample price lists?')) useLists(new Map());
  });
  document.getElementById('report').addEventListener('close', focusAfterDialog);
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dropping');
    useFiles([...event.dataTransfer.files]);
  });
}

function setUp() {
  terminal.loadAddon(fitAddon);
  terminal.open(document.getElementById('terminal'));
  fitTerminal();
  new ResizeObserver(fitTerminal).observe(document.getElementById('terminal'));
  terminal.onTitleChange((title) => { document.title = title; });
  terminal.onData(typeIntoGame);
  setUpAnswerField();
  followVisualViewport();
  takePageKeys();
  page.announcer = new Announcer(document.getElementById('announcement'), () => terminal.rows);
  document.getElementById('screen-reader').addEventListener('change', (event) => {
    setScreenReaderMode(event.target.checked);
    focusInput();
  });
  setUpListButtons();
  askBeforeLeaving();
  setUpPause(takeAddress());
  document.getElementById('status').addEventListener('click', (event) => {
    if (event.target.tagName === 'BUTTON' && !document.querySelector('dialog[open]')) focusInput();
  });

  window.brawlarium = {
    terminal,
    get waitingFor() { return page.game?.waitingFor ?? 'end'; },
    get wasmMemoryBytes() { return page.game?.memory() ?? 0; },
  };
  startGame();
}

const isExit = (error) => error?.name === 'ExitStatus';
window.addEventListener('error', (event) => { if (isExit(event.error)) event.preventDefault(); });
window.addEventListener('unhandledrejection', (event) => { if (isExit(event.reason)) event.preventDefault(); });

if (typeof createBrawlarium === 'function') {
  setUp();
} else {
  document.getElementById('seed').textContent = 'The game module did not load.';
}

// The game's version at the start of the status bar.
if (typeof createBrawlarium === 'function' && createBrawlarium.version) {
  const version = document.createElement('span');
  version.id = 'version';
  version.textContent = `Brawlarium ${createBrawlarium.version}`;
  document.getElementById('status').prepend(version);
}
