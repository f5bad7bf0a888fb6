// The game's wasm in the one-file page: build_page.mjs moves it out of the
// game module, gzipped (a smaller page, raw and gzipped alike), into a data
// block at the end of the page, #brawlarium-wasm, and puts this script after
// the module. Once the page is parsed, it unpacks and compiles the wasm,
// while the page's own module may already set up the terminal, and every
// game the page starts instantiates that one compiled module; the factory
// keeps what the module tells its hosts (createBrawlarium.version...). The
// steps are marked on the page's performance timeline (brawlarium:...), where
// bench/page_bench.mjs reads them.
(() => {
  const parsed = new Promise((done) => {
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', done);
    else done();
  });

  async function compiledWasm() {
    await parsed;
    performance.mark('brawlarium:wasm-unpacking');
    const packed = atob(document.getElementById('brawlarium-wasm').textContent.trim());
    const bytes = Uint8Array.from(packed, (character) => character.charCodeAt(0));
    const unpacked = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    const compiled = await WebAssembly.compile(await new Response(unpacked).arrayBuffer());
    performance.mark('brawlarium:wasm-compiled');
    return compiled;
  }

  async function instantiated(imports) {
    const compiled = await wasm;
    performance.mark('brawlarium:wasm-instantiating');
    const instance = await WebAssembly.instantiate(compiled, imports);
    performance.mark('brawlarium:wasm-instantiated');
    return instance;
  }

  const wasm = compiledWasm();
  const createModule = createBrawlarium;
  createBrawlarium = Object.assign((module = {}) => {
    module.instantiateWasm = (imports, receiveInstance) => {
      instantiated(imports).then((instance) => {
        receiveInstance(instance);  // runs the game until it first waits
        performance.mark('brawlarium:game-waiting');
      }, (error) => {
        console.error('brawlarium: the game cannot start:', error);
        module.onAbort?.(error);
      });
      return {};
    };
    return createModule(module);
  }, createModule);
})();
