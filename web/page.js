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
const Encoder = new TextEncoder();
const ListNames = ['weaponlist.txt', 'armorlist.txt'];
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

class Game {
  constructor(commandLine, lists, onEnd) {
    this.onEnd = onEnd;
    this.line = [];
    this.lines = [];
    this.keysAhead = [];
    this.keyMode = false;
    this.inputEnded = false;
    this.answerWaiter = null;
    this.keyWaiter = null;
    this.timer = null;
    this.stopped = false;
    this.instance = null;
    createBrawlarium({
      arguments: commandLine,
      host: this.host(),
      preRun: [(module) => lists.forEach((bytes, name) => module.FS.writeFile(name, bytes))],
      onExit: (status) => this.end(`status ${status}`),
      onAbort: () => this.end('error'),
    }).then((instance) => { this.instance = instance; },
      (error) => this.end('error', error));
  }

  host() {
    return {
      isTerminal: true,
      environment: { TERM: 'xterm-256color' },
      write: (stream, bytes) => { if (!this.stopped) terminal.write(bytes.slice()); },
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

  nextLine() {
    if (this.stopped) return new Promise(() => {});
    this.keyMode = false;
    this.keysAhead.splice(0).forEach((key) => this.edit(key));
    if (this.lines.length > 0) return Promise.resolve(this.lines.shift());
    if (this.inputEnded) return Promise.resolve(new Uint8Array(0));
    return new Promise((resolve) => { this.answerWaiter = resolve; });
  }

  nextKey() {
    if (this.stopped) return new Promise(() => {});
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

  pause(ms) {
    if (this.stopped) return new Promise(() => {});
    this.keyMode = true;
    return new Promise((resolve) => {
      this.timer = setTimeout(() => { this.timer = null; resolve(); }, ms);
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

const page = {
  game: null,
  lists: new Map(),
  addressSeed: new URLSearchParams(location.search).get('seed'),
};

function seedForNextGame() {
  if (page.addressSeed !== null) return page.addressSeed;
  return String(Math.floor(Date.now() / 1000) % (MaxSeed + 1));
}

function startGame() {
  page.game?.end('replaced');
  terminal.reset();
  showKeyWait(false);
  const seed = seedForNextGame();
  showSeed(seed);
  page.game = new Game(['--seed', seed], page.lists, (how) => gameEnded(how, false));
  focusInput();
}

function checkLists() {
  page.game?.end('replaced');
  terminal.reset();
  showKeyWait(false);
  document.getElementById('seed').textContent =
    page.lists.size > 0 ? 'Checking your price lists' : 'Checking the sample lists';
  page.game = new Game(['--check-data'], page.lists, (how) => gameEnded(how, true));
  focusInput();
}

function gameEnded(how, checking) {
  if (how === 'replaced') return;
  // A seed the game refused (exit 2, a bad command line) is not tried again.
  if (how === 'status 2') page.addressSeed = null;
  const sayings = {
    'interrupted': 'The game was interrupted.',
    'error': 'The game stopped on an internal error.',
    'status 0': checking ? 'The check is done.' : 'The game is over.',
  };
  const saying = sayings[how] ?? `The ${checking ? 'check' : 'game'} ended with exit ${how}.`;
  terminal.write('', () => {
    const newLine = terminal.buffer.active.cursorX > 0 ? '\r\n' : '';
    terminal.write(`\x1b[0m${newLine}\r\n\x1b[90m${saying} Press any key to play again.\x1b[0m\r\n`);
  });
  document.title = PageTitle;
  showKeyWait(true);
}

function showSeed(seed) {
  const seedLine = document.getElementById('seed');
  const link = document.createElement('a');
  link.href = `?seed=${encodeURIComponent(seed)}`;
  link.textContent = 'replay this game';
  seedLine.replaceChildren(`Seed ${seed} · `, link);
}

function showLists() {
  const names = [...page.lists.keys()];
  document.getElementById('lists').textContent =
    names.length === 0 ? 'Sample price lists' : `Your price lists: ${names.join(', ')}`;
}

function say(message) {
  document.getElementById('message').textContent = message;
}

async function useFiles(files) {
  const lists = new Map();
  for (const file of files) {
    const lower = file.name.toLowerCase();
    const name = ListNames.find((list) => lower === list)
      ?? (lower.includes('weapon') ? ListNames[0] : lower.includes('armor') ? ListNames[1] : null);
    if (name === null || lists.has(name)) {
      say(`"${file.name}" is not one of weaponlist.txt and armorlist.txt.`);
      return;
    }
    lists.set(name, new Uint8Array(await file.arrayBuffer()));
  }
  if (lists.size === 0) return;
  say(lists.size === 1 ? 'Only one list given: the game looks for both side by side.' : '');
  page.lists = lists;
  showLists();
  startGame();
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

// The Continue button stands in for a key press while the game waits for one.
function showKeyWait(waiting) {
  document.getElementById('continue').hidden = !waiting;
  document.getElementById('send').hidden = waiting;
}

function typeIntoGame(data) {
  if (page.game && !page.game.stopped) page.game.type(data);
  else if (data !== '\x03') startGame();
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
  else startGame();
}

// At a key wait or during a pause what the input method has committed are
// key presses; a composition still in progress is left alone.
function takeKeys(field) {
  if (field.value === '' || (page.game && !page.game.stopped && !page.game.takesKeys)) return;
  const text = field.value;
  field.value = '';
  if (page.game && !page.game.stopped) typeKeys(text);
  else startGame();
}

function tapTerminal() {
  if (!isTouch()) return;
  if (!page.game || page.game.stopped) startGame();
  else if (!page.game.tap()) answerField().focus();
}

function setUpAnswerField() {
  const field = answerField();
  let composing = false;
  document.getElementById('answer-bar').addEventListener('submit', (event) => {
    event.preventDefault();
    if (!composing) sendAnswer('\r');
  });
  document.getElementById('end-input').addEventListener('click', () => sendAnswer('\x04'));
  document.getElementById('continue').addEventListener('click', () => {
    if (!page.game || page.game.stopped) startGame();
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
    style.setProperty('--viewport-top', zoomed ? '0' : `${viewport.offsetTop}px`);
    document.body.classList.toggle('short', !zoomed && viewport.height < ShortHeight);
  };
  viewport.addEventListener('resize', follow);
  viewport.addEventListener('scroll', follow);
  follow();
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

  const fileInput = document.getElementById('list-files');
  document.getElementById('use-lists').addEventListener('click', () => fileInput.click());
  fileInput.addEventListener('change', () => {
    useFiles([...fileInput.files]);
    fileInput.value = '';
  });
  document.getElementById('check-lists').addEventListener('click', checkLists);
  document.getElementById('sample-lists').addEventListener('click', () => {
    page.lists = new Map();
    say('');
    showLists();
    startGame();
  });
  document.getElementById('screen-reader').addEventListener('change', (event) => {
    terminal.options.screenReaderMode = event.target.checked;
    focusInput();
  });
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
  document.getElementById('status').addEventListener('click', (event) => {
    if (event.target.tagName === 'BUTTON') focusInput();
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
