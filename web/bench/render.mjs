// Times renders of the page's WebAssembly build under Node: node render.mjs BUILD_WEB [WxH] [RUNS].
// Prints the fastest and the median time in milliseconds, as JSON.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const [folder = 'build-web', size = '1000x1000', runs = '5'] = process.argv.slice(2);
// The loader's Node path still looks for CommonJS' names, as an ES module has none, and would
// fetch the code from a file: URL, which Node's fetch does not read.
globalThis.__dirname = resolve(folder);
globalThis.require = createRequire(import.meta.url);
const { default: createHillograph } = await import(pathToFileURL(resolve(folder, 'hillograph-web.js')));
const core = await createHillograph({ wasmBinary: readFileSync(resolve(folder, 'hillograph-web.wasm')) });
const [width, height] = size.split('x');
if (core.ccall('hg_read_link', 'number', ['string'], [`Width=${width}&Height=${height}`]) !== 0) {
  throw new Error(core.UTF8ToString(core.ccall('hg_error', 'number', [], [])));
}
const times = [];
for (let run = 0; run <= Number(runs); ++run) {
  const start = performance.now();
  if (core.ccall('hg_render', 'number', ['number'], [0]) !== 0) {
    throw new Error(core.UTF8ToString(core.ccall('hg_error', 'number', [], [])));
  }
  if (run > 0) times.push(performance.now() - start); // the first run grows the memory
}
times.sort((a, b) => a - b);
console.log(JSON.stringify({ size, fastest: times[0], median: times[Math.floor(times.length / 2)] }));
