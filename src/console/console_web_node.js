// The Node runner: started as `node brawlarium.js [options]`, this file runs
// the WebAssembly game as a command-line program, the Node host of the
// interface in console_web.cpp. The game sees the real file system from the
// real working directory, reads its answers from standard input, writes to
// standard output and standard error, and exits with its own status. In a
// terminal it reads single keys from the terminal, as the native game does.
(function runFromTheCommandLine() {
  if (typeof process !== 'object' || typeof require !== 'function' || typeof module !== 'object' ||
      require.main !== module) {
    return;  // loaded by a page or another program: only the factory is wanted
  }
  const fs = require('fs');
  const tty = require('tty');
  const childProcess = require('child_process');
  const path = require('path');

  const SaveTitle = '\x1b[22;0t';
  const RestoreTitle = '\x1b[23;0t';
  const NormalColour = '\x1b[0m';

  // Whether the game has set the title (and so may have changed the colour)
  // and not yet given it back: a signal must then take both back. The colour
  // in force is written again when the game continues after a stop.
  let titleSet = false;
  let title = '';
  let colourInForce = '';
  const ColourEscape = /\x1b\[[0-9;]*m/g;  // eslint-disable-line no-control-regex -- escapes start with ESC

  function noteColour(bytes) {
    const escapes = Buffer.from(bytes).toString('latin1').match(ColourEscape);
    if (escapes) {
      colourInForce = escapes[escapes.length - 1] === NormalColour ? '' : escapes[escapes.length - 1];
    }
  }

  function writeAll(fd, bytes) {
    let done = 0;
    while (done < bytes.length) {
      try {
        done += fs.writeSync(fd, bytes, done, bytes.length - done);
      } catch (error) {
        if (error.code !== 'EAGAIN') {
          throw error;
        }
      }
    }
  }

  // Reads what one read of the descriptor gives (a typed line in a terminal's
  // line mode); an empty array at its end.
  function readChunk(fd) {
    return new Promise((resolve) => {
      const buffer = Buffer.alloc(65536);
      const readOnce = () => fs.read(fd, buffer, 0, buffer.length, null, (error, count) => {
        if (error && error.code === 'EAGAIN') {
          setTimeout(readOnce, 10);
          return;
        }
        resolve(error ? new Uint8Array(0) : new Uint8Array(buffer.buffer, buffer.byteOffset, count));
      });
      readOnce();
    });
  }

  // What a descriptor opened without waiting has to give now: empty when
  // nothing was typed.
  function readWaiting(fd) {
    const buffer = Buffer.alloc(256);
    try {
      return new Uint8Array(buffer.buffer, buffer.byteOffset, fs.readSync(fd, buffer, 0, buffer.length, null));
    } catch {
      return new Uint8Array(0);
    }
  }

  // How many bytes the first key of the chunk takes: a whole escape sequence
  // (an arrow or a function key), a whole UTF-8 character, or one byte.
  function firstKeyLength(chunk) {
    if (chunk[0] === 0x1b) {
      return chunk.length;
    }
    const lead = chunk[0];
    const length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
    return Math.min(length, chunk.length);
  }

  // Whether PATH names a folder that holds this program.
  function onPath(program) {
    return (process.env.PATH || '').split(path.delimiter).some((folder) => {
      try {
        fs.accessSync(path.join(folder || '.', program), fs.constants.X_OK);
        return true;
      } catch {
        return false;
      }
    });
  }

  // The key mode through stty: the native game's, no line editing and no
  // echo, and nothing else changed, so Ctrl-C and Ctrl-Z still signal.
  //
  // stty changes the mode, one change after another. It runs in a session of
  // its own, where the keys that signal the game never reach it, and without
  // blocking the game, so that the game's signal handlers run at once.
  class SttyMode {
    constructor(fd) {
      this.fd = fd;
      this.signalKeysAreRead = false;
      this.changes = Promise.resolve('');
      this.savedText = '';
      this.saved = this.stty(['-g']).then((mode) => {
        this.savedText = mode.trim();
        return this.savedText;
      });
    }

    stty(settings) {
      const run = () => new Promise((resolve) => {
        const child = childProcess.spawn('stty', settings, {stdio: [this.fd, 'pipe', 'ignore'], detached: true});
        let printed = '';
        child.stdout.on('data', (text) => { printed += text; });
        child.on('close', () => resolve(printed));
        child.on('error', () => resolve(''));
      });
      this.changes = this.changes.then(run);
      return this.changes;
    }

    async set(on) {
      return this.stty(on ? ['-icanon', '-echo', 'min', '1', 'time', '0'] : [await this.saved]);
    }

    settled() {
      return this.changes;
    }

    handBackAtOnce() {
      childProcess.spawnSync('stty', [this.savedText], {stdio: [this.fd, 'ignore', 'ignore']});
    }
  }

  // The key mode through Node's raw mode, where there is no stty (Windows
  // terminals). Raw mode also makes the signal keys plain keys: the keyboard
  // reads them, in pauses too, and acts on them as the signals would.
  class RawMode {
    constructor(fd) {
      // A stream of its own on POSIX, never read, only for the mode: answers
      // may come from a pipe while keys come from the terminal.
      this.stream = fd === 0 ? process.stdin : new tty.ReadStream(fs.openSync('/dev/tty', 'r'));
      this.signalKeysAreRead = true;
    }

    async set(on) {
      this.stream.setRawMode(on);
    }

    async settled() {}

    handBackAtOnce() {
      this.stream.setRawMode(false);
    }
  }

  const CtrlC = 0x03;
  const CtrlBackslash = 0x1c;
  const CtrlZ = 0x1a;
  // How often a pause in raw mode looks for a signal's key.
  const SignalKeyPollMilliseconds = 50;
  // Not the global one, which the tests' pause shim counts as a pause.
  const pollTimer = require('timers').setTimeout;

  // The terminal (Windows: the console on standard input), for single keys
  // without echo. Keys stay in the terminal's queue while nothing reads them,
  // so keys typed during a pause end the next key wait at once.
  class Keyboard {
    constructor() {
      this.fd = -1;
      this.pollFd = -1;
      this.queued = [];
      this.wanted = false;     // the game is in a key wait or a pause
      this.inKeyMode = false;  // the terminal is (or is being put) in key mode
      this.stopped = false;
      try {
        const windows = process.platform === 'win32';
        this.fd = windows ? (tty.isatty(0) ? 0 : -1) : fs.openSync('/dev/tty', 'r');
        if (this.fd >= 0 && !windows && onPath('stty')) {
          this.mode = new SttyMode(this.fd);
        } else if (this.fd >= 0) {
          this.mode = new RawMode(this.fd);
          // Read in pauses without waiting; Windows' console has no such read,
          // so there a pause leaves the mode alone and Ctrl-C signals.
          this.pollFd = windows ? -1 : fs.openSync('/dev/tty', fs.constants.O_RDONLY | fs.constants.O_NONBLOCK);
        }
      } catch {
        this.fd = -1;  // no terminal: key waits end at once
      }
    }

    // Puts the terminal in the mode the game wants, unless it is stopped.
    async follow() {
      const on = this.wanted && !this.stopped;
      if (this.fd < 0 || this.inKeyMode === on) {
        return this.fd < 0 ? undefined : this.mode.settled();
      }
      this.inKeyMode = on;
      return this.mode.set(on);
    }

    async setKeyMode(on) {
      this.wanted = on;
      await this.follow();
    }

    // Queues the keys of what one read gave, one byte each; in raw mode the
    // signal keys act instead.
    take(chunk) {
      while (chunk.length > 0) {
        const key = chunk[0];
        if (this.mode.signalKeysAreRead && key === CtrlC) {
          endBySignal('SIGINT');
        } else if (this.mode.signalKeysAreRead && key === CtrlBackslash) {
          endBySignal('SIGQUIT');
        } else if (this.mode.signalKeysAreRead && key === CtrlZ && process.platform !== 'win32') {
          stopAndContinue();
        } else if (key !== 0) {
          this.queued.push(key);
        }
        chunk = chunk.subarray(firstKeyLength(chunk));
      }
    }

    async readKey() {
      if (this.fd < 0) {
        return;
      }
      while (this.queued.length === 0) {
        await this.setKeyMode(true);
        const chunk = await readChunk(this.fd);
        await this.setKeyMode(false);
        if (chunk.length === 0) {
          return;  // the terminal is gone: the wait ends
        }
        this.take(chunk);
      }
      this.queued.shift();
    }

    async pause(milliseconds) {
      let over = false;
      const elapsed = new Promise((resolve) => setTimeout(resolve, milliseconds)).then(() => { over = true; });
      if (this.fd >= 0 && this.mode.signalKeysAreRead && this.pollFd < 0) {
        return elapsed;
      }
      await this.setKeyMode(true);
      while (this.pollFd >= 0 && !over) {
        if (this.inKeyMode) {
          this.take(readWaiting(this.pollFd));
        }
        await Promise.race([elapsed, new Promise((resolve) => pollTimer(resolve, SignalKeyPollMilliseconds))]);
      }
      await elapsed;
      await this.setKeyMode(false);
    }

    // The terminal's own mode while the game is stopped (or for good), and
    // the key mode again once it continues.
    async stop() {
      this.stopped = true;
      await this.follow();
    }

    async resume() {
      this.stopped = false;
      await this.follow();
    }

    // At the end of the game, when nothing waits any more.
    handBackAtOnce() {
      if (this.inKeyMode) {
        this.inKeyMode = false;
        this.mode.handBackAtOnce();
      }
    }
  }

  let keyboard = null;
  function theKeyboard() {
    keyboard = keyboard || new Keyboard();
    return keyboard;
  }

  // The terminal as the game found it: its mode, the normal colour, the title.
  async function handBackTerminal() {
    if (keyboard) {
      await keyboard.stop();
    }
    if (titleSet) {
      writeAll(1, Buffer.from(NormalColour + RestoreTitle));
    }
  }

  // Puts the terminal back, then dies of the same signal so the parent sees
  // how the game ended.
  async function endBySignal(signal) {
    await handBackTerminal();
    process.removeAllListeners(signal);
    process.kill(process.pid, signal);
  }

  // Ctrl-Z: hands the terminal back and stops; once continued, takes the key
  // mode again if a key wait or a pause is under way, and the title and the
  // colour.
  async function stopAndContinue() {
    await handBackTerminal();
    process.kill(process.pid, 'SIGSTOP');
    if (titleSet) {
      writeAll(1, Buffer.from(SaveTitle + '\x1b]0;' + title + '\x07' + colourInForce));
    }
    if (keyboard) {
      await keyboard.resume();
    }
  }

  for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP', 'SIGQUIT']) {
    process.on(signal, () => endBySignal(signal));
  }
  process.on('SIGTSTP', stopAndContinue);

  const host = {
    isTerminal: tty.isatty(1),
    environment: Object.assign({}, process.env),
    write: (stream, bytes) => {
      if (titleSet && stream === 1) {
        noteColour(bytes);
      }
      writeAll(stream, bytes);
    },
    readAnswers: () => readChunk(0),
    readKey: () => theKeyboard().readKey(),
    pause: (milliseconds) => theKeyboard().pause(milliseconds),
    setTitle: (text) => {
      title = text;
      writeAll(1, Buffer.from(SaveTitle + '\x1b]0;' + title + '\x07'));
      titleSet = true;
    },
    restoreTitle: () => {
      writeAll(1, Buffer.from(RestoreTitle));
      titleSet = false;
    },
  };

  // The real file system under the module's own: every folder at the top of
  // the real one, mounted where it is, and the real working directory. The
  // built-in sample lists stay in sight, as an installed game's lists do:
  // along their folder's path the real folders are mounted one level further
  // down instead, and their own folder not at all.
  function mountRealFileSystem(game) {
    mountRealFolders(game.FS, '/', createBrawlarium.sampleListsFolder || '');
    game.FS.chdir(process.cwd());
  }

  function mountRealFolders(FS, parent, builtIn) {
    for (const name of fs.readdirSync(parent)) {
      const folder = path.posix.join(parent, name);
      try {
        if (['/dev', '/proc', '/sys', builtIn].includes(folder) || !fs.statSync(folder).isDirectory()) {
          continue;
        }
        if (!FS.analyzePath(folder).exists) {
          FS.mkdir(folder);
        }
        if (builtIn.startsWith(folder + '/')) {
          mountRealFolders(FS, folder, builtIn);
        } else {
          FS.mount(FS.filesystems.NODEFS, {root: folder}, folder);
        }
      } catch {
        // a folder the runner may not enter stays out of the game's sight
      }
    }
  }

  // WebAssembly compiled by V8's baseline compiler alone. The game spends
  // its time in its host's reads and writes, not in its own code, so the
  // optimizing compiler gains nothing here, while its work still running at
  // the end held the exit of every short run (a continued game, --version)
  // back by about 100 ms.
  require('v8').setFlagsFromString('--liftoff-only');

  createBrawlarium({
    arguments: process.argv.slice(2),
    thisProgram: 'brawlarium',
    host,
    preRun: [mountRealFileSystem],
    onExit: () => {
      if (keyboard) {
        keyboard.handBackAtOnce();
      }
    },
  });
})();
