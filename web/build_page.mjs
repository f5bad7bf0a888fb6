// Builds the one self-contained page: node build_page.mjs MODULE.js OUT.html
// inlines into web/index.html the style sheets and scripts it links, the
// game module given on the command line for "brawlarium.js", and the page
// module with each package it imports (through the import map) wrapped in a
// function whose result stands for the import, so the file needs nothing
// but itself, from file:// or any static host.
import { readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const [modulePath, outputPath] = process.argv.slice(2);
if (!modulePath || !outputPath) {
  console.error('usage: node build_page.mjs MODULE.js OUT.html');
  process.exit(2);
}

function read(file) {
  return readFileSync(file, 'utf8').replace(/\n\/[/*]# sourceMappingURL=.*$/m, '');
}

function localFile(reference) {
  return reference === 'brawlarium.js' ? modulePath : join(here, reference);
}

function scriptText(code, name) {
  if (/<!--|<script/i.test(code)) throw new Error(`${name} holds text that would end an inline script`);
  return code.replace(/<\/script/gi, '<\\/script');
}

function wrappedPackage(file) {
  const code = read(file).trimEnd();
  const exported = code.match(/export\s*\{([^}]*)\};?$/);
  if (!exported) throw new Error(`${file} does not end with its export list`);
  const fields = exported[1].split(',').map((item) => {
    const [local, name = local] = item.trim().split(/\s+as\s+/);
    return `${name}: ${local}`;
  });
  return `(() => {\n${code.slice(0, exported.index)}\nreturn { ${fields.join(', ')} };\n})()`;
}

function bundledPageModule(file, imports) {
  return read(file).replace(/^import\s*(\{[^}]*\})\s*from\s*'([^']+)';$/gm, (whole, names, specifier) => {
    if (!imports[specifier]) throw new Error(`${file} imports ${specifier}, which the import map does not name`);
    return `const ${names} = ${wrappedPackage(join(here, imports[specifier]))};`;
  });
}

let html = readFileSync(join(here, 'index.html'), 'utf8');
let imports = {};
html = html.replace(/<script type="importmap">([\s\S]*?)<\/script>\n/, (whole, map) => {
  imports = JSON.parse(map).imports;
  return '';
});
html = html.replace(/<link rel="stylesheet" href="([^"]+)">/g, (whole, reference) => {
  const css = read(localFile(reference));
  if (/<\/style/i.test(css)) throw new Error(`${reference} holds text that would end the style element`);
  return `<style>\n${css}\n</style>`;
});
html = html.replace(/<script type="module" src="([^"]+)"><\/script>/g, (whole, reference) =>
  `<script type="module">\n${scriptText(bundledPageModule(localFile(reference), imports), reference)}\n</script>`);
html = html.replace(/<script src="([^"]+)"><\/script>/g, (whole, reference) =>
  `<script>\n${scriptText(read(localFile(reference)), reference)}\n</script>`);
writeFileSync(outputPath, html);
console.log(`${outputPath}: ${Buffer.byteLength(html)} bytes`);
