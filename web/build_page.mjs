// Builds the one self-contained page: node build_page.mjs MODULE.js OUT.html
// takes web/index.html and puts inline what it links: the style sheets,
// bundled and minified by esbuild into one style element; the game module
// given on the command line for "brawlarium.js", minified; and the page module,
// bundled by esbuild with the packages it imports (resolved through the
// page's import map, as a browser does) and minified. The file needs
// nothing but itself, from file:// or any static host.
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
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

function localFile(reference) {
  return reference === 'brawlarium.js' ? modulePath : join(here, reference);
}

// Text that would confuse the HTML parser inside the element is refused;
// "</script" in a script is written "<\/script", which means the same there.
function inlineText(code, name, element) {
  const refused = element === 'script' ? /<!--|<script/i : /<\/style/i;
  if (refused.test(code)) throw new Error(`${name} holds text that would end an inline ${element}`);
  return code.replace(/\n\/[/*]# sourceMappingURL=.*$/m, '').trim().replace(/<\/script/gi, '<\\/script');
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
  html = html.replace(tag, () => `<script type="module">${code}</script>`);
}
for (const [tag, reference] of [...html.matchAll(ClassicScript)]) {
  const { code } = await esbuild.transform(readFileSync(localFile(reference), 'utf8'), Minified);
  html = html.replace(tag, () => `<script>${inlineText(code, reference, 'script')}</script>`);
}
writeFileSync(outputPath, html);
console.log(`${outputPath}: ${Buffer.byteLength(html)} bytes`);
