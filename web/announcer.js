// The screen-reader mode, an addon of the terminal: it turns on the
// terminal's own screen-reader support, and reads each screen the game shows
// out through the page's polite live region. What is read is what the game
// wrote since it last waited for the player and is still on the screen, as
// plain lines (screenToRead): what a clear's line ends scrolled away, the
// blank lines and the escape sequences are left out. The terminal's own
// live region would announce a clear's line ends as "too much output".

// Colour and other control sequences, which a screen reader should not read.
// eslint-disable-next-line no-control-regex -- ESC and BEL open and close them
const Escapes = /\x1b(\[[0-?]*[ -/]*[@-~]|\][^\x07\x1b]*(\x07|\x1b\\)|[@-Z\\-_])/g;

// The lines of `written` still on a screen that `clearLines` blank lines in
// a row leave nothing of, without escapes and blank lines.
export function screenToRead(written, clearLines) {
  const lines = written.replace(Escapes, '').replace(/\r/g, '').split('\n').map((line) => line.trimEnd());
  let shown = 0;
  let blanks = 0;
  lines.forEach((line, at) => {
    blanks = line === '' ? blanks + 1 : 0;
    if (blanks >= clearLines) shown = at;
  });
  return lines.slice(shown).filter((line) => line !== '');
}

export class AnnouncerAddon {
  constructor(region) {
    this.region = region;
    this.enabled = false;
    this.reset();
  }

  activate(terminal) {
    this.terminal = terminal;
  }

  dispose() {
    this.region.textContent = '';
  }

  reset() {
    this.written = '';
    this.screen = '';
  }

  add(text) {
    this.written += text;
  }

  // The game waits for the player: what it wrote is read out. The terminal
  // has no more rows than a clear has line ends, so its rows are the count.
  flush() {
    const screen = screenToRead(this.written, this.terminal.rows);
    this.written = '';
    if (screen.length > 0) this.show(screen.join('\n'));
  }

  show(text) {
    this.screen = text;
    if (this.enabled) this.region.textContent = text;
  }

  enable(on) {
    const { terminal } = this;
    this.enabled = on;
    terminal.options.screenReaderMode = on;
    terminal.element.querySelectorAll('.live-region').forEach((region) => region.remove());
    // The rows a screen reader reads are filled at the next refresh.
    terminal.refresh(0, terminal.rows - 1);
    this.region.textContent = on ? this.screen : '';
  }
}
