// The floor of the page's load, for page_bench.mjs, which bundles it with the
// page's own pinned xterm.js: a terminal set up as the page sets up its own
// (the same font, at most 16 px, smaller where 80x24 does not fit) that
// prints the game's first screen, kept in the page's #first-screen block,
// and nothing else. The bench reads it as it reads the page.
import { Terminal } from '@xterm/xterm';
import { FitAddon } from '@xterm/addon-fit';

const FontSize = 16;
const PhoneFontSize = 12;

const terminal = new Terminal({
  convertEol: true,
  scrollback: 10000,
  cursorBlink: false,
  fontFamily: '"Cascadia Mono", Consolas, "DejaVu Sans Mono", "Liberation Mono", monospace',
  fontSize: FontSize,
  theme: { background: '#0c0c0c', foreground: '#cccccc' },
});
const fitAddon = new FitAddon();
terminal.loadAddon(fitAddon);
terminal.open(document.getElementById('terminal'));
const size = fitAddon.proposeDimensions();
if (size && (size.cols < 80 || size.rows < 24)) terminal.options.fontSize = PhoneFontSize;
fitAddon.fit();
terminal.write(JSON.parse(document.getElementById('first-screen').textContent));
window.brawlarium = { terminal };
