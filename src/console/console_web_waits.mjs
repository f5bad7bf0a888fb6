// Lists the functions Asyncify instruments in the WebAssembly game: those
// that can be on the stack while the game waits for its host.
//
//   node console_web_waits.mjs GAME.wasm console_web_waits.txt [OUT]
//
// GAME.wasm is the game linked without Asyncify and with function names
// (--profiling-funcs). The list file names where a wait starts: the host's
// imports, and the library code that reaches the answer buffer through
// virtual calls, which no call graph shows; and, after a '-', functions
// that never lead to a wait. This adds every function that calls a listed
// one directly, up to main, and writes one name a line (to OUT, or the
// standard output) for emcc's -sASYNCIFY_ONLY=@OUT. It fails when a function
// that can wait is also called through a pointer (it sits in the function
// table) and the list file does not name it: whoever calls it that way must
// be listed too.
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';

const [wasmPath, listPath, outputPath] = process.argv.slice(2);
if (!wasmPath || !listPath) {
  console.error('usage: node console_web_waits.mjs GAME.wasm console_web_waits.txt [OUT]');
  process.exit(2);
}

// The name section's names, as wasm-dis escapes them ("\28" for "(").
const unescaped = (name) => name.replace(/\\([0-9a-f]{2})/g, (_, hex) => String.fromCharCode(parseInt(hex, 16)));

// '*' matches any text, as in Asyncify's own lists.
function matcher(pattern) {
  const escaped = pattern.split('*').map((part) => part.replace(/[.*+?^${}()|[\]\\]/g, '\\$&'));
  return new RegExp(`^${escaped.join('.*')}$`);
}

// Each function's direct callees, which functions are imports, and which
// sit in the table that indirect calls go through.
function callGraph(text) {
  const callees = new Map();
  const imports = new Set();
  const inTable = new Set();
  let current = null;
  for (const line of text.split('\n')) {
    let found;
    if ((found = line.match(/^ \(import "[^"]*" "[^"]*" \(func \$([^\s)]+)/))) {
      imports.add(unescaped(found[1]));
    } else if ((found = line.match(/^ \(func \$([^\s)]+)/))) {
      current = new Set();
      callees.set(unescaped(found[1]), current);
    } else if (line.startsWith(' (elem ')) {
      for (const [, name] of line.matchAll(/\$(\S+?)(?=[\s)])/g)) inTable.add(unescaped(name));
    } else if (current) {
      for (const [, name] of line.matchAll(/\((?:return_)?call \$([^\s)]+)/g)) current.add(unescaped(name));
    }
  }
  return { callees, imports, inTable };
}

// The list file's lines: a name (or pattern) where a wait starts, or, after
// a '-', functions that never wait on the answers, where the search stops.
function listedPatterns(file) {
  const lines = readFileSync(file, 'utf8').split('\n')
    .map((line) => line.trim())
    .filter((line) => line !== '' && !line.startsWith('#'));
  return {
    starts: lines.filter((line) => !line.startsWith('-')),
    stops: lines.filter((line) => line.startsWith('-')).map((line) => line.slice(1).trim()),
  };
}

function namesMatching(pattern, names) {
  const matches = names.filter((name) => matcher(pattern).test(name));
  if (matches.length === 0 && !pattern.includes('*')) {
    console.error(`${listPath}: "${pattern}" names no function of ${wasmPath}`);
    process.exit(1);
  }
  return matches;
}

const text = execFileSync(process.env.WASM_DIS ?? 'wasm-dis', [wasmPath], { encoding: 'utf8', maxBuffer: 1 << 30 });
const { callees, imports, inTable } = callGraph(text);
const { starts, stops } = listedPatterns(listPath);
const everyName = [...imports, ...callees.keys()];
const listed = new Set(starts.flatMap((pattern) => namesMatching(pattern, everyName)));
const stopped = new Set(stops.flatMap((pattern) => namesMatching(pattern, everyName)));
const waits = new Set(listed);

for (let grown = true; grown;) {
  grown = false;
  for (const [caller, called] of callees) {
    if (!waits.has(caller) && !stopped.has(caller) && [...called].some((name) => waits.has(name))) {
      waits.add(caller);
      grown = true;
    }
  }
}

const unlisted = [...waits].filter((name) => inTable.has(name) && !listed.has(name));
if (unlisted.length > 0) {
  console.error(`${listPath}: these can wait and are called through a pointer; list them with the functions `
    + `that call them that way:\n  ${unlisted.join('\n  ')}`);
  process.exit(1);
}

// emcc reads '.' in these names as a space, so a '*' stands for it.
const instrumented = [...waits].filter((name) => !imports.has(name)).map((name) => name.replaceAll('.', '*')).sort();
const list = `${instrumented.join('\n')}\n`;
if (outputPath) writeFileSync(outputPath, list);
else process.stdout.write(list);
