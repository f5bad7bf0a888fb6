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
// cells get a smaller font rather than a smaller terminal.
import { Terminal } from '@xterm/xterm';
import { FitAddon } from '@xterm/addon-fit';

const MinColumns = 80;
const MinRows = 24;
const FontSize = 16;
const MinFontSize = 7;
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
    return new Promise((resolve) => { this.keyWaiter = resolve; });
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
      resolve();
    } else if (this.keyMode) {
      this.keysAhead.push(data);
    } else {
      this.edit(data);
    }
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

  erase() {
    if (this.line.length === 0) return;
    this.line.pop();
    terminal.write('\b \b');
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
  const seed = seedForNextGame();
  showSeed(seed);
  page.game = new Game(['--seed', seed], page.lists, (how) => gameEnded(how, false));
  terminal.focus();
}

function checkLists() {
  page.game?.end('replaced');
  terminal.reset();
  document.getElementById('seed').textContent =
    page.lists.size > 0 ? 'Checking your price lists' : 'Checking the sample lists';
  page.game = new Game(['--check-data'], page.lists, (how) => gameEnded(how, true));
  terminal.focus();
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

function fitTerminal() {
  let size = fitAddon.proposeDimensions();
  if (!size) return;
  const room = Math.min(size.cols / MinColumns, size.rows / MinRows);
  let fontSize = Math.max(MinFontSize, Math.min(FontSize, Math.floor(terminal.options.fontSize * room)));
  for (;;) {
    if (fontSize !== terminal.options.fontSize) terminal.options.fontSize = fontSize;
    size = fitAddon.proposeDimensions() ?? size;
    if (fontSize <= MinFontSize || (size.cols >= MinColumns && size.rows >= MinRows)) break;
    fontSize -= 1;
  }
  terminal.resize(Math.max(MinColumns, size.cols), Math.max(MinRows, size.rows));
}

function setUp() {
  terminal.loadAddon(fitAddon);
  terminal.open(document.getElementById('terminal'));
  fitTerminal();
  new ResizeObserver(fitTerminal).observe(document.getElementById('terminal'));
  terminal.onTitleChange((title) => { document.title = title; });
  terminal.onData((data) => {
    if (page.game && !page.game.stopped) page.game.type(data);
    else if (data !== '\x03') startGame();
  });

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
    terminal.focus();
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
    if (event.target.tagName === 'BUTTON') terminal.focus();
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
