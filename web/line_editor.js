// The line the player is typing, as a terminal in line mode edits it: typed
// characters are echoed, Backspace erases one (at the start of a wrapped row,
// the last of the row above), Ctrl-U the whole line, Enter (CR, LF or CRLF)
// sends the line, and Ctrl-D sends what is typed without a line end, or on
// an empty line ends the input. Lines sent before the game asks wait for it.
// The screen it echoes to is given: { write(text), cursorX(), columns() }.
const Encoder = new TextEncoder();

export class LineEditor {
  constructor(screen) {
    this.screen = screen;
    this.line = [];
    this.lines = [];
    this.inputEnded = false;
    this.waiter = null;
  }

  // A promise of the next line's bytes (with its line end), an empty array
  // once the input has ended.
  nextLine() {
    if (this.lines.length > 0) return Promise.resolve(this.lines.shift());
    if (this.inputEnded) return Promise.resolve(new Uint8Array(0));
    return new Promise((resolve) => { this.waiter = resolve; });
  }

  get waiting() {
    return this.waiter !== null;
  }

  // The game no longer asks: a line sent now waits for the next question.
  forget() {
    this.waiter = null;
  }

  edit(data) {
    if (data.startsWith('\x1b')) return;
    let previous = '';
    for (const character of data) {
      if (character === '\r' || (character === '\n' && previous !== '\r')) {
        this.screen.write('\r\n');
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
        this.screen.write(shown);
      }
      previous = character;
    }
  }

  erase() {
    if (this.line.length === 0) return;
    this.line.pop();
    if (this.screen.cursorX() > 0) this.screen.write('\b \b');
    else this.screen.write(`\x1b[A\x1b[${this.screen.columns()}G\x1b[K`);
  }

  send(ending) {
    const bytes = Encoder.encode(this.line.join('') + ending);
    this.line = [];
    if (this.waiter) {
      const resolve = this.waiter;
      this.waiter = null;
      resolve(bytes);
    } else {
      this.lines.push(bytes);
    }
  }
}
