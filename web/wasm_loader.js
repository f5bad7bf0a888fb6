// The game's wasm in the one-file page: build_page.mjs moves it out of the
// game module, gzipped (a smaller page, raw and gzipped alike), into a data
// block after the module, #brawlarium-wasm, and puts this script after the
// block. At once (or once the page is parsed, should the block come later)
// it decodes the block and compiles the wasm while it is unpacked
// (streaming), on the browser's own threads while the rest of the page
// arrives and the page's module sets up the terminal; every game the page
// starts instantiates that one compiled module. The factory keeps what the
// module tells its hosts (createBrawlarium.version...). The steps are marked
// on the page's performance timeline (brawlarium:...), where
// bench/page_bench.mjs reads them.
(() => {
  const block = () => document.getElementById('brawlarium-wasm');
  const parsed = new Promise((done) => {
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', done);
    else done();
  });

  // The block's base64 as bytes: natively where the browser can, else
  // through atob.
  function decodedBlock(text) {
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
    const packed = atob(text);
    const bytes = new Uint8Array(packed.length);
    for (let at = 0; at < packed.length; ++at) bytes[at] = packed.charCodeAt(at);
    return bytes;
  }

  const unpacked = (bytes) => new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));

  // Compiles as the bytes come out of the decompressor; a browser that
  // cannot compile a stream, or refuses this one, compiles the whole.
  async function compiled(bytes) {
    if (WebAssembly.compileStreaming) {
      try {
        const headers = { 'Content-Type': 'application/wasm' };
        return await WebAssembly.compileStreaming(new Response(unpacked(bytes), { headers }));
      } catch (error) {
        console.warn('brawlarium: compiling the wasm whole:', error);
      }
    }
    return WebAssembly.compile(await new Response(unpacked(bytes)).arrayBuffer());
  }

  async function compiledWasm() {
    if (!block()) await parsed;
    performance.mark('brawlarium:wasm-unpacking');
    const wasmModule = await compiled(decodedBlock(block().textContent.trim()));
    performance.mark('brawlarium:wasm-compiled');
    return wasmModule;
  }

  async function instantiated(imports) {
    const wasmModule = await wasm;
    performance.mark('brawlarium:wasm-instantiating');
    const instance = await WebAssembly.instantiate(wasmModule, imports);
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
