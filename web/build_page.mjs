// Builds the one self-contained page: node build_page.mjs MODULE.js OUT.html
// takes web/index.html and puts inline what it links: the style sheets,
// bundled and minified by esbuild into one style element; the game module
// given on the command line for "brawlarium.js", minified, with its wasm
// moved gzipped into a data block right after it, and wasm_loader.js after
// the block, so that the wasm compiles while the rest of the page arrives
// and runs; and the page module, bundled by esbuild with the packages it
// imports (resolved through the page's import map, as a browser does),
// minified, and run as soon as it is parsed (async). The file needs nothing
// but itself, from file:// or any static host. Its Content-Security-Policy
// (a meta tag) runs only these scripts, by their hashes, lets them compile
// WebAssembly, and allows no connection at all: nothing leaves the page.
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';
import * as esbuild from 'esbuild';

const here = dirname(fileURLToPath(import.meta.url));
const [modulePath, outputPath] = process.argv.slice(2);
if (!modulePath || !outputPath) {
  console.error('usage: node build_page.mjs MODULE.js OUT.html');
  process.exit(2);
}

const Stylesheet = /<link rel="stylesheet" href="([^"]+)">\n?/g;
const ImportMap = /<script type="importmap">([\s\S]*?)<\/script>\n?/;
const ModuleScript = /<script type="module" src="([^"]+)"><\/script>/g;
const ClassicScript = /<script src="([^"]+)"><\/script>/g;
// Emscripten's inlined wasm, from its magic number on.
const InlinedWasm = /(data:application\/octet-stream;base64,)(AGFzbQ[A-Za-z0-9+/=]*)/;

function localFile(reference) {
  return reference === 'brawlarium.js' ? modulePath : join(here, reference);
}

// Text that would confuse the HTML parser inside the element is refused;
// "</script" in a script is written "<\/script", which means the same there.
function inlineText(code, name, element) {
  const refused = element === 'script' ? /<!--|<script/i : /<\/style/i;
  if (refused.test(code)) throw new Error(`${name} holds text that would end an inline ${element}`);
  const text = code.replace(/\n\/[/*]# sourceMappingURL=.*$/m, '').trim();
  return element === 'script' ? text.replace(/<\/script/gi, '<\\/script') : text;
}

const Minified = { minify: true, legalComments: 'none', logLevel: 'error' };

async function bundled(options) {
  const result = await esbuild.build({ ...Minified, absWorkingDir: here, bundle: true, write: false, ...options });
  return result.outputFiles[0].text;
}

// The import map's paths, as esbuild's aliases ("./node_modules/...").
function aliases(html) {
  const map = html.match(ImportMap);
  return map ? JSON.parse(map[1]).imports : {};
}

async function styles(references) {
  const imports = references.map((reference) => `@import ${JSON.stringify(`./${reference}`)};`).join('\n');
  return bundled({ stdin: { contents: imports, loader: 'css', resolveDir: here }, outfile: 'page.css' });
}

async function pageModule(reference, alias) {
  return bundled({ entryPoints: [localFile(reference)], format: 'esm', alias, outfile: 'page.js' });
}

const script = (code, name) => `<script>${inlineText(code, name, 'script')}</script>`;
const minified = async (code) => (await esbuild.transform(code, Minified)).code;

// The game module without its wasm, the wasm gzipped in base64 in a data
// block, and the loader that brings it.
async function gameScripts(file) {
  const module = readFileSync(file, 'utf8');
  const wasm = module.match(InlinedWasm);
  if (!wasm) throw new Error(`${file} holds no inlined wasm`);
  const packedWasm = gzipSync(Buffer.from(wasm[2], 'base64'), { level: 9 }).toString('base64');
  return [
    script(await minified(module.replace(InlinedWasm, '$1')), file),
    `<script type="application/octet-stream" id="brawlarium-wasm">${packedWasm}</script>`,
    script(await minified(readFileSync(join(here, 'wasm_loader.js'), 'utf8')), 'wasm_loader.js'),
  ].join('\n');
}

let html = readFileSync(join(here, 'index.html'), 'utf8');
const alias = aliases(html);
html = html.replace(ImportMap, '');

const sheets = [...html.matchAll(Stylesheet)].map((link) => link[1]);
if (sheets.length > 0) {
  const css = inlineText(await styles(sheets), 'the style sheets', 'style');
  let first = true;
  html = html.replace(Stylesheet, () => (first ? ((first = false), `<style>${css}</style>\n`) : ''));
}
for (const [tag, reference] of [...html.matchAll(ModuleScript)]) {
  const code = inlineText(await pageModule(reference, alias), reference, 'script');
  html = html.replace(tag, () => `<script type="module" async>${code}</script>`);
}
for (const [tag, reference] of [...html.matchAll(ClassicScript)]) {
  const inlined = reference === 'brawlarium.js'
    ? await gameScripts(localFile(reference))
    : script(await minified(readFileSync(localFile(reference), 'utf8')), reference);
  html = html.replace(tag, () => inlined);
}
// The policy: the page's own scripts by hash, WebAssembly, inline styles
// (xterm.js writes its own style element), and nothing fetched or sent.
function securityPolicy(page) {
  const hashes = [...page.matchAll(/<script(?: type="module" async)?>([\s\S]*?)<\/script>/g)]
    .map(([, code]) => `'sha256-${createHash('sha256').update(code).digest('base64')}'`);
  return [`default-src 'none'`, `script-src ${hashes.join(' ')} 'wasm-unsafe-eval'`, `style-src 'unsafe-inline'`,
    `img-src data: blob:`, `font-src data:`, `connect-src 'none'`, `base-uri 'none'`, `form-action 'none'`].join('; ');
}

const Charset = '<meta charset="utf-8">\n';
if (!html.includes(Charset)) throw new Error('index.html has no <meta charset="utf-8"> to put the policy after');
html = html.replace(Charset, () => `${Charset}<meta http-equiv="Content-Security-Policy" content="${securityPolicy(html)}">\n`);
writeFileSync(outputPath, html);
console.log(`${outputPath}: ${Buffer.byteLength(html)} bytes`);
