// The game's terminal: an xterm.js terminal in the page's console colours
// and font (page.css names them), with two addons of the page's own. The
// readable fit: windows smaller than 80x24 cells get a smaller font rather
// than a smaller terminal, down to a size still readable on a phone; below
// that the terminal takes the columns and rows that fit, and long lines wrap.
// It never has more rows than a screen clear has line ends, so a clear leaves
// nothing of the screen before. The page's keys: Tab leaves the terminal for
// the page's controls, and Ctrl+C, Ctrl+Shift+C and Cmd+C copy a selection.
import { Terminal } from '@xterm/xterm';
import { FitAddon } from '@xterm/addon-fit';

const MinColumns = 80;
const MinRows = 24;
const FontSize = 16;
// The smallest font a phone held upright still reads comfortably: 12 px from
// 390 px wide, 11 px on narrower screens.
const ReadableFontSize = 12;
const NarrowReadableFontSize = 11;
const NarrowScreenWidth = 390;

const Palette = {
  black: '#0c0c0c', red: '#d03a3a', green: '#3ca83c', yellow: '#c19c00',
  blue: '#3b78ff', magenta: '#b4009e', cyan: '#3a96dd', white: '#cccccc',
  brightBlack: '#767676', brightRed: '#ff6b6b', brightGreen: '#7dff7d', brightYellow: '#f9f1a5',
  brightBlue: '#7fb2ff', brightMagenta: '#e070d0', brightCyan: '#61d6d6', brightWhite: '#f2f2f2',
};

// A custom property of page.css.
function styleValue(name) {
  return getComputedStyle(document.documentElement).getPropertyValue(name).trim();
}

export function createTerminal() {
  const background = styleValue('--console-background');
  const text = styleValue('--console-text');
  return new Terminal({
    convertEol: true,
    scrollback: 10000,
    cursorBlink: false,
    fontFamily: styleValue('--console-font'),
    fontSize: FontSize,
    theme: { ...Palette, background, foreground: text, cursor: text, selectionBackground: '#4a4a7a' },
  });
}

// The terminal as the line editor and a game see it.
export function screenOf(terminal) {
  return { write: (text) => terminal.write(text), cursorX: () => terminal.buffer.active.cursorX, columns: () => terminal.cols };
}

// A note of the page's own below what the game wrote, dimmed, on a line of
// its own after a blank one.
export function writeNote(terminal, text) {
  terminal.write('', () => {
    const newLine = terminal.buffer.active.cursorX > 0 ? '\r\n' : '';
    terminal.write(`\x1b[0m${newLine}\r\n\x1b[90m${text}\x1b[0m\r\n`);
  });
}

// Fits the terminal to its element whenever the element's size changes.
export class ReadableFitAddon {
  constructor(maxRows) {
    this.maxRows = maxRows;
    this.fit = new FitAddon();
  }

  activate(terminal) {
    this.terminal = terminal;
    terminal.loadAddon(this.fit);
    this.observer = new ResizeObserver(() => this.resize());
    this.observer.observe(terminal.element.parentElement);
    this.resize();
  }

  dispose() {
    this.observer?.disconnect();
  }

  // The largest font up to FontSize that shows 80x24 cells, but no smaller
  // than a readable size: then the terminal has the cells that fit.
  resize() {
    const { terminal, fit } = this;
    const smallest = window.innerWidth >= NarrowScreenWidth ? ReadableFontSize : NarrowReadableFontSize;
    let size = fit.proposeDimensions();
    if (!size) return;
    const room = Math.min(size.cols / MinColumns, size.rows / MinRows);
    let fontSize = Math.max(smallest, Math.min(FontSize, Math.floor(terminal.options.fontSize * room)));
    for (;;) {
      if (fontSize !== terminal.options.fontSize) terminal.options.fontSize = fontSize;
      size = fit.proposeDimensions() ?? size;
      if (fontSize <= smallest || (size.cols >= MinColumns && size.rows >= MinRows)) break;
      fontSize -= 1;
    }
    terminal.resize(Math.max(1, size.cols), Math.max(1, Math.min(this.maxRows, size.rows)));
  }
}

// The keys the page takes before the terminal sees them. The game never
// needs a Tab: Tab and Shift+Tab leave the terminal for the page's controls
// (Shift+Tab to the last of them, which lastControl() gives) as elsewhere on
// a page. With a selection, the copy keys copy it and clear it, as web
// terminals do; without one Ctrl+C stays the interrupt.
export class PageKeysAddon {
  constructor(lastControl) {
    this.lastControl = lastControl;
  }

  activate(terminal) {
    this.terminal = terminal;
    terminal.attachCustomKeyEventHandler((event) => !this.leavesTerminal(event) && !this.copiesSelection(event));
  }

  dispose() {
    this.terminal?.attachCustomKeyEventHandler(() => true);
  }

  leavesTerminal(event) {
    if (event.key !== 'Tab' || event.ctrlKey || event.altKey || event.metaKey) return false;
    if (event.shiftKey && event.type === 'keydown') {
      event.preventDefault();
      this.lastControl().focus();
    }
    return true;
  }

  copiesSelection(event) {
    const { terminal } = this;
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
}
