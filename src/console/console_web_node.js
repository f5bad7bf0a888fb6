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

  const SaveTitle = '\x1b[22;0t';
  const RestoreTitle = '\x1b[23;0t';
  const NormalColour = '\x1b[0m';
  const CtrlC = 0x03;
  const CtrlBackslash = 0x1c;

  // Whether the game has set the title (and so may have changed the colour)
  // and not yet given it back: a signal must then take both back.
  let titleSet = false;

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

  function readAnswers() {
    return new Promise((resolve) => {
      const buffer = Buffer.alloc(65536);
      const readOnce = () => fs.read(0, buffer, 0, buffer.length, null, (error, count) => {
        if (error && error.code === 'EAGAIN') {
          setImmediate(readOnce);
          return;
        }
        resolve(error ? new Uint8Array(0) : new Uint8Array(buffer.buffer, buffer.byteOffset, count));
      });
      readOnce();
    });
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

  // The controlling terminal, for single keys without echo. Keys stay in the
  // terminal's queue while nothing reads them, so keys typed during a pause
  // end the next key wait at once.
  class Keyboard {
    constructor() {
      this.stream = null;
      this.queued = [];
      try {
        this.stream = new tty.ReadStream(fs.openSync('/dev/tty', 'r'));
        this.stream.pause();
      } catch (error) {
        this.stream = null;  // no terminal: key waits end at once
      }
    }

    setKeyMode(on) {
      if (this.stream && this.stream.isRaw !== on) {
        this.stream.setRawMode(on);
      }
    }

    nextChunk() {
      return new Promise((resolve) => {
        this.stream.once('data', (chunk) => {
          this.stream.pause();
          resolve(chunk);
        });
        this.stream.resume();
      });
    }

    async readKey() {
      if (!this.stream) {
        return;
      }
      while (this.queued.length === 0) {
        this.setKeyMode(true);
        let chunk = await this.nextChunk();
        this.setKeyMode(false);
        while (chunk.length > 0) {
          const length = firstKeyLength(chunk);
          if (chunk[0] !== 0) {
            this.queued.push(chunk[0]);
          }
          chunk = chunk.subarray(length);
        }
      }
      const key = this.queued.shift();
      // The key mode reads Ctrl-C and Ctrl-\ as keys; they still interrupt.
      if (key === CtrlC) {
        endBySignal('SIGINT');
      } else if (key === CtrlBackslash) {
        endBySignal('SIGQUIT');
      }
    }

    async pause(milliseconds) {
      this.setKeyMode(true);
      await new Promise((resolve) => setTimeout(resolve, milliseconds));
      this.setKeyMode(false);
    }

    close() {
      this.setKeyMode(false);
      if (this.stream) {
        this.stream.destroy();
      }
    }
  }

  let keyboard = null;
  function theKeyboard() {
    keyboard = keyboard || new Keyboard();
    return keyboard;
  }

  // The terminal as the game found it: its mode, the normal colour, the title.
  function handBackTerminal() {
    if (keyboard) {
      keyboard.close();
    }
    if (titleSet) {
      writeAll(1, Buffer.from(NormalColour + RestoreTitle));
    }
  }

  function endBySignal(signal) {
    handBackTerminal();
    process.removeAllListeners(signal);
    process.kill(process.pid, signal);
  }

  for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP', 'SIGQUIT']) {
    process.on(signal, () => endBySignal(signal));
  }

  const host = {
    isTerminal: tty.isatty(1),
    environment: Object.assign({}, process.env),
    write: (stream, bytes) => writeAll(stream, bytes),
    readAnswers,
    readKey: () => theKeyboard().readKey(),
    pause: (milliseconds) => theKeyboard().pause(milliseconds),
    setTitle: (title) => {
      writeAll(1, Buffer.from(SaveTitle + '\x1b]0;' + title + '\x07'));
      titleSet = true;
    },
    restoreTitle: () => {
      writeAll(1, Buffer.from(RestoreTitle));
      titleSet = false;
    },
  };

  // The real file system under the module's own: every folder at the top of
  // the real one, mounted where it is, and the real working directory.
  function mountRealFileSystem(game) {
    const FS = game.FS;
    for (const name of fs.readdirSync('/')) {
      const path = '/' + name;
      try {
        if (['/dev', '/proc', '/sys'].includes(path) || !fs.statSync(path).isDirectory()) {
          continue;
        }
        if (!FS.analyzePath(path).exists) {
          FS.mkdir(path);
        }
        FS.mount(FS.filesystems.NODEFS, {root: path}, path);
      } catch (error) {
        // a folder the runner may not enter stays out of the game's sight
      }
    }
    FS.chdir(process.cwd());
  }

  createBrawlarium({
    arguments: process.argv.slice(2),
    thisProgram: 'brawlarium',
    host,
    preRun: [mountRealFileSystem],
    onExit: () => {
      if (keyboard) {
        keyboard.close();
      }
    },
  });
})();
