// eslint's one configuration for every JavaScript and CSS file in the tree
// (scripts/lint.sh runs it): the recommended rules, unused variables and
// undeclared globals as errors, and for each kind of file the globals of the
// place it runs in. eslint and its rule sets are the page's pinned npm
// packages (web/package.json), so they are loaded from web/node_modules.
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';

const requireFromWeb = createRequire(new URL('./web/package.json', import.meta.url));
const js = requireFromWeb('@eslint/js');
const globals = requireFromWeb('globals');
const { default: css } = await import(pathToFileURL(requireFromWeb.resolve('@eslint/css')));

// What the Emscripten output gives the code it wraps: a pre-js file runs
// inside the module's factory, with the runtime's own names in scope (those
// that console_web_module.js uses).
const emscriptenRuntime = {
  Module: 'readonly',
  ENV: 'readonly',
  FS: 'readonly',
  ERRNO_CODES: 'readonly',
  addOnInit: 'readonly',
};

// The factory the module defines; files appended after it (extern-post-js)
// and the page's scripts see it as a global.
const gameFactory = { createBrawlarium: 'readonly' };

export default [
  { ignores: ['build*/', 'out/', 'dist/', '**/node_modules/'] },
  { files: ['**/*.js', '**/*.mjs', 'cmake/*.js.in'], ...js.configs.recommended },
  {
    // A property taken out of an object by destructuring so that the rest
    // goes on without it is used, though its variable is not.
    files: ['**/*.js', '**/*.mjs', 'cmake/*.js.in'],
    rules: {
      'no-unused-vars': ['error', { caughtErrors: 'all', ignoreRestSiblings: true }],
      'no-undef': 'error',
    },
  },
  {
    // Node programs as ES modules: the page's build, tests and bench, and
    // the build's helper that lists the game's waits.
    files: ['**/*.mjs'],
    languageOptions: { sourceType: 'module', globals: { ...globals.node } },
  },
  {
    // The page's tests and bench also hold functions that run inside the
    // page (page.evaluate), so the browser's globals are theirs too.
    files: ['web/test/**/*.mjs', 'bench/**/*.mjs'],
    languageOptions: { globals: { ...globals.node, ...globals.browser } },
  },
  {
    // The Node preloads of the end-to-end tests: CommonJS.
    files: ['tests/support/**/*.js'],
    languageOptions: { sourceType: 'commonjs', globals: { ...globals.node } },
  },
  {
    // The page's own modules, bundled by esbuild for the browser.
    files: ['web/*.js'],
    languageOptions: { sourceType: 'module', globals: { ...globals.browser, ...gameFactory } },
  },
  {
    // A classic script of the page that wraps the factory in place.
    files: ['web/wasm_loader.js'],
    languageOptions: {
      sourceType: 'script',
      globals: { ...globals.browser, createBrawlarium: 'writable' },
    },
  },
  {
    // Concatenated into the module inside its factory (--pre-js).
    files: ['src/console/console_web_module.js'],
    languageOptions: { sourceType: 'script', globals: { ...emscriptenRuntime } },
  },
  {
    // Appended after the module (--extern-post-js): the factory is in
    // scope, and the file is also Node's command-line runner (CommonJS).
    files: ['src/console/console_web_node.js', 'cmake/*.js.in'],
    languageOptions: {
      sourceType: 'script',
      globals: { ...globals.node, ...globals.commonjs, ...gameFactory },
    },
  },
  {
    // The page's style sheet.
    files: ['**/*.css'],
    language: 'css/css',
    ...css.configs.recommended,
  },
];
