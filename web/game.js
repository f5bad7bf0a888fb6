// One game: an instance of the WebAssembly module (its host interface is
// documented in src/console/console_web.cpp) and what passes between it and
// the player. Its output, UTF-8 decoded as it comes (a character may end in
// the next write), goes to the screen and the announcer; typed text goes to
// the line editor; a key wait takes the next key press; from the start of a
// pause until the game next reads, key presses queue for the next key wait,
// and what is left of them becomes typed text at the next question, as in a
// console. Ctrl-C abandons the instance: its waits never settle and its
// output is dropped. The page may skip the rest of a fight's pauses (until
// the game next reads), play pauses faster, or hold them (a playback held).
// Also the check of price lists, in an instance of its own.
import { LineEditor } from './line_editor.js';

// The shortest pause between rounds in which a screen reader reads a round.
const ReadablePause = 1000;
const never = () => new Promise(() => {});

// What the game writes, as text: a character split across two writes is
// held until its end comes, and one never finished shows as a terminal
// shows it.
export function outputDecoder() {
  const decoder = new TextDecoder();
  return (bytes, more = true) => decoder.decode(bytes, { stream: more });
}

export class Game {
  // `page` gives what the game needs of the page: factory, screen
  // ({ write, cursorX, columns }), announcer, setTitle(text or null),
  // showKeyWait(waiting), onEnd(how), and optionally onWait(kind) when the
  // game waits for an 'answer' or a 'key' and showPause(pausing).
  constructor(page, commandLine, preRun) {
    this.page = page;
    this.editor = new LineEditor(page.screen);
    this.decode = outputDecoder();
    this.keysAhead = [];
    this.keyMode = false;
    this.keyWaiter = null;
    this.timer = null;
    this.roundPause = null;
    this.speed = 1;
    this.skipping = false;
    this.holding = false;
    this.heldPause = null;
    this.errors = '';
    this.hadCharacter = false;
    this.stopped = false;
    this.instance = null;
    this.module = null;
    page.factory({
      arguments: commandLine,
      host: this.host(),
      preRun: [preRun, (module) => { this.module = module; }],
      onExit: (status) => this.end(`status ${status}`),
      onAbort: () => this.end('error'),
    }).then((instance) => { this.instance = instance; }, (error) => this.end('error', error));
  }

  host() {
    return {
      isTerminal: true,
      environment: { TERM: 'xterm-256color' },
      write: (stream, bytes) => this.show(bytes, true, stream),
      readAnswers: () => this.nextLine(),
      readKey: () => this.nextKey(),
      setTitle: (text) => { if (!this.stopped) this.page.setTitle(text); },
      restoreTitle: () => { if (!this.stopped) this.page.setTitle(null); },
      pause: (ms) => this.pause(ms),
    };
  }

  get waitingFor() {
    if (this.stopped) return 'end';
    if (this.editor.waiting) return 'answer';
    if (this.keyWaiter) return 'key';
    return this.timer ? 'pause' : 'busy';
  }

  // Whether the running game has a named character, which ending it loses.
  get hasCharacter() {
    return !this.stopped && this.instance?._brawlariumCharacterExists() === 1;
  }

  // Whether a key press now is one the game awaits or queues.
  get takesKeys() {
    return Boolean(this.keyWaiter) || this.keyMode;
  }

  show(bytes, more = true, stream = 1) {
    if (this.stopped) return;
    const text = this.decode(bytes, more);
    if (text === '') return;
    if (stream === 2) this.errors = (this.errors + text).slice(-2000);
    this.page.screen.write(text);
    this.page.announcer.add(text);
  }

  nextLine() {
    if (this.stopped) return never();
    this.page.announcer.flush();
    this.keyMode = false;
    this.waited();
    this.keysAhead.splice(0).forEach((key) => this.editor.edit(key));
    const line = this.editor.nextLine();
    if (this.editor.waiting) this.page.onWait?.('answer');
    return line;
  }

  // The game reads: a skip, and the pause shown, end here. Whether it has a
  // character then is what its end leaves (hadCharacter): a game that quits
  // has no reading after.
  waited() {
    this.hadCharacter = this.module?._brawlariumCharacterExists?.() === 1;
    this.skipping = false;
    this.page.showPause?.(false);
  }

  nextKey() {
    if (this.stopped) return never();
    this.page.announcer.flush();
    this.keyMode = false;
    this.waited();
    if (this.keysAhead.length > 0) {
      this.keysAhead.shift();
      return Promise.resolve();
    }
    const wait = new Promise((resolve) => {
      this.keyWaiter = resolve;
      this.page.showKeyWait(true);
    });
    this.page.onWait?.('key');
    return wait;
  }

  // The game asks for its --pause; the player may have chosen another since.
  // Rounds that follow each other faster than they can be read out are read
  // together at the next question or key wait.
  pause(ms) {
    if (this.stopped) return never();
    const pause = this.skipping ? 0 : (this.roundPause ?? ms) / this.speed;
    if (pause >= ReadablePause) this.page.announcer.flush();
    this.keyMode = true;
    if (!this.skipping) this.page.showPause?.(true);
    return new Promise((resolve) => {
      const ended = () => {
        this.timer = null;
        if (this.holding) this.heldPause = resolve;
        else resolve();
      };
      this.timer = setTimeout(ended, Number.isFinite(pause) ? pause : 0);
      this.timerEnds = ended;
    });
  }

  // Plays the rest of the fight's pauses at once, until the game next reads.
  skip() {
    this.skipping = true;
    this.page.showPause?.(false);
    if (this.timer) {
      clearTimeout(this.timer);
      this.timerEnds();
    }
  }

  // Holds the game at its next pause's end until released.
  hold(holding) {
    this.holding = holding;
    if (!holding && this.heldPause) {
      const resolve = this.heldPause;
      this.heldPause = null;
      resolve();
    }
  }

  // The save file's bytes, or null when the game has none (yet).
  readFile(path) {
    try {
      return this.module?.FS.readFile(path) ?? null;
    } catch {
      return null;
    }
  }

  type(data) {
    if (data === '\x03') {
      this.page.screen.write('^C');
      this.end('interrupted');
    } else if (this.keyWaiter) {
      const resolve = this.keyWaiter;
      this.keyWaiter = null;
      this.page.showKeyWait(false);
      resolve();
    } else if (this.keyMode) {
      this.keysAhead.push(data);
    } else {
      this.editor.edit(data);
    }
  }

  // A tap is a key press where the game awaits or queues one; elsewhere it
  // is no key at all, and the caller brings up the answer field instead.
  tap() {
    if (!this.takesKeys) return false;
    this.type('');
    return true;
  }

  end(how, detail) {
    if (this.stopped) return;
    this.show(new Uint8Array(0), false);
    this.page.announcer.flush();
    this.stopped = true;
    this.editor.forget();
    this.keyWaiter = null;
    this.page.showKeyWait(false);
    clearTimeout(this.timer);
    this.timer = null;
    this.heldPause = null;
    this.page.showPause?.(false);
    if (detail) console.error(detail);
    this.page.onEnd(how);
  }

  memory() {
    return this.instance?.HEAP8?.buffer.byteLength ?? 0;
  }
}

// Runs --check-data in an instance of its own, with no keyboard and no
// terminal; settles with its exit status and its report.
export function checkLists(factory, commandLine, preRun) {
  return new Promise((settle) => {
    const decode = outputDecoder();
    let report = '';
    const done = (status) => settle({ status, report: report + decode(new Uint8Array(0), false) });
    factory({
      arguments: ['--check-data', ...commandLine],
      host: {
        isTerminal: false,
        environment: {},
        write: (stream, bytes) => { report += decode(bytes); },
        readAnswers: () => Promise.resolve(new Uint8Array(0)),
        readKey: () => Promise.resolve(),
        pause: () => Promise.resolve(),
        setTitle: () => {},
      },
      preRun: [preRun],
      onExit: done,
      onAbort: () => done(null),
    }).catch(() => done(null));
  });
}
