// The page in a real browser (Debian's chromium through playwright-core), against the native
// renderer: the same pixels and the same files for the same parameters.
//
// HILLOGRAPH_WEB: the built page (default ../build-web); HILLOGRAPH_RENDER: the native renderer
// (default ../build/cli/hillograph-render).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize, resolve } from 'node:path';
import { after, before, test } from 'node:test';

import { chromium } from 'playwright-core';

const here = new URL('.', import.meta.url).pathname;
const site = resolve(process.env.HILLOGRAPH_WEB ?? join(here, '../../../build-web'));
const native = resolve(process.env.HILLOGRAPH_RENDER ?? join(here, '../../../build/cli/hillograph-render'));
const work = mkdtempSync(join(tmpdir(), 'hillograph-web-'));

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm', '.png': 'image/png' };
const BROWSER_ARGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

let server;
let origin;
let context;

before(async () => {
  server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
    try {
      const body = readFileSync(join(site, path.endsWith('/') ? `${path}index.html` : path));
      response.writeHead(200, { 'Content-Type': TYPES[extname(path) || '.html'] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  origin = `http://127.0.0.1:${server.address().port}/`;
  context = await chromium.launchPersistentContext(join(work, 'profile'), {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: BROWSER_ARGS,
    acceptDownloads: true,
    viewport: { width: 1280, height: 800 },
  });
});

after(async () => {
  await context?.close();
  server?.close();
  rmSync(work, { recursive: true, force: true });
});

// The native renderer's picture as RGBA rows from the top, hashed; and the file it wrote.
function nativeMap(...args) {
  const bmp = join(work, 'native.bmp');
  execFileSync(native, ['--quiet', ...args, '-o', bmp]);
  const data = readFileSync(bmp);
  const offset = data.readUInt32LE(10);
  const width = data.readInt32LE(18);
  const height = data.readInt32LE(22);
  const stride = Math.ceil((width * 3) / 4) * 4;
  const rgba = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; ++y) {
    const row = offset + (height - 1 - y) * stride;
    for (let x = 0; x < width; ++x) {
      const at = (y * width + x) * 4;
      rgba[at] = data[row + x * 3 + 2];
      rgba[at + 1] = data[row + x * 3 + 1];
      rgba[at + 2] = data[row + x * 3];
      rgba[at + 3] = 255;
    }
  }
  return { width, height, sha256: createHash('sha256').update(rgba).digest('hex') };
}

// Waits until every change asked for is drawn, then hashes the canvas as nativeMap hashes.
async function canvasMap(page) {
  await page.waitForFunction(() => document.body.dataset.state === 'ready', null, { timeout: 30_000 });
  return page.evaluate(async () => {
    const canvas = document.getElementById('map');
    const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    const digest = await crypto.subtle.digest('SHA-256', data);
    const sha256 = [...new Uint8Array(digest)].map((b) => b.toString(16).padStart(2, '0')).join('');
    return { width: canvas.width, height: canvas.height, sha256 };
  });
}

async function messages(page) {
  return page.locator('#messages').innerText();
}

test('the default map, and the map of a link, equal the native pictures', async () => {
  let page = await context.newPage();
  await page.goto(origin);
  assert.deepEqual(await canvasMap(page), nativeMap());
  await page.screenshot({ path: join(site, 'screenshot.png') });
  // The first load of a new browser, then a load with the files in its cache.
  for (const load of ['first', 'cached']) {
    if (load === 'cached') await page.reload();
    await page.waitForFunction(() => performance.getEntriesByName('first-map').length > 0);
    const firstMap = await page.evaluate(() => performance.getEntriesByName('first-map')[0].startTime);
    console.log(`${load} load: the map on screen ${Math.round(firstMap)} ms after navigation start`);
  }
  await page.close();

  const link = 'RandSeed=42&Width=300&Height=200&WaterAmount=35&TownAmount=30.5&Mountain=%23FF0000';
  page = await context.newPage();
  await page.goto(`${origin}#${link}&Foo=1`);
  assert.deepEqual(await canvasMap(page), nativeMap('--link', link));
  assert.equal(await page.evaluate(() => location.hash), `#Width=300&Height=200&RandSeed=42&WaterAmount=35&TownAmount=30.5&Mountain=%23FF0000`);
  assert.match(await messages(page), /unknown key "Foo"/);
  assert.equal(await page.inputValue('#TownAmount'), '30.5');
  await page.close();
});

test('dragging "Amount of water:" changes the address and the picture, as in the window', async () => {
  const page = await context.newPage();
  await page.goto(`${origin}#Width=200&Height=150`);
  await canvasMap(page);
  const label = await page.locator('#label-WaterAmount').boundingBox();
  const y = label.y + label.height / 2;
  await page.mouse.move(label.x + 5, y);
  await page.mouse.down();
  // 16 px right and one back, in steps, downwards too: 15 px in all.
  for (const x of [6, 9, 15, 16, 15]) await page.mouse.move(label.x + 5 + x, y + x);
  await page.mouse.up();
  assert.equal(await page.inputValue('#WaterAmount'), '165');
  const map = await canvasMap(page);
  assert.equal(await page.evaluate(() => location.hash), '#Width=200&Height=150&WaterAmount=165');
  assert.deepEqual(map, nativeMap('--set', 'Width=200', '--set', 'Height=150', '--set', 'WaterAmount=165'));
  await page.close();
});

test('a preset and a town database load; a file that is no preset changes nothing', async () => {
  const preset = join(work, 'island.hpf');
  execFileSync(native, ['--quiet', '--set', 'Width=320', '--set', 'Height=240', '--set', 'RandSeed=77', '--set', 'Shadows=12', '--set', 'TownAmount=400', '--save-preset', preset, '-o', join(work, 'x.bmp')]);
  const towns = join(work, 'villes.txt');
  writeFileSync(towns, 'Ærøskøbing\nÉvreux\nÜberlingen\nŁódź\nSão João\nÂţi\n');
  const notes = join(work, 'notes.txt');
  writeFileSync(notes, '[Params]\nwidth of the map: 640\n');

  const page = await context.newPage();
  await page.goto(origin);
  await canvasMap(page);
  await page.setInputFiles('#preset-file', preset);
  await page.waitForFunction(() => location.hash.includes('RandSeed=77'));
  assert.deepEqual(await canvasMap(page), nativeMap('--preset', preset));
  assert.equal(await page.evaluate(() => location.hash), '#Width=320&Height=240&RandSeed=77&TownAmount=400&Shadows=12');

  await page.setInputFiles('#town-file', towns);
  await page.waitForFunction(() => !document.getElementById('town-note').hidden);
  assert.deepEqual(await canvasMap(page), nativeMap('--preset', preset, '--set', `TownDB=${towns}`));
  assert.match(await page.locator('#town-note').innerText(), /villes\.txt.*only with the same file/);

  const before = await canvasMap(page);
  await page.setInputFiles('#preset-file', notes);
  await page.waitForFunction(() => document.getElementById('messages').innerText.includes('notes.txt'));
  assert.match(await messages(page), /notes\.txt is not a preset: it holds none of its keys\./);
  assert.deepEqual(await canvasMap(page), before);
  assert.equal(await page.inputValue('#RandSeed'), '77');

  // A picture's recipe: its size and label scale come back, its town database only by name.
  const poster = join(work, 'poster.png');
  execFileSync(native, ['--quiet', '--size', '1300x40', '--label-scale', '2', '--set', 'RandSeed=5', '--set', `TownDB=${towns}`, '-o', poster]);
  await page.setInputFiles('#preset-file', poster);
  await page.waitForFunction(() => location.hash.includes('RandSeed=5'));
  assert.equal(await page.evaluate(() => location.hash), '#Size=1300x40&RandSeed=5&LabelScale=2');
  assert.deepEqual(await canvasMap(page), nativeMap('--preset', poster, '--set', `TownDB=${towns}`));
  assert.match(await messages(page), /made with the town database "villes\.txt"/);
  await page.close();
});

test('a PNG download holds the native bytes', async () => {
  const page = await context.newPage();
  await page.goto(`${origin}#RandSeed=9&Width=250&Height=180`);
  await canvasMap(page);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('button[data-format="png"]')]);
  const png = join(work, 'native.png');
  execFileSync(native, ['--quiet', '--link', 'RandSeed=9&Width=250&Height=180', '-o', png]);
  assert.equal(download.suggestedFilename(), 'map.png');
  assert.ok(readFileSync(await download.path()).equals(readFileSync(png)));
  await page.close();
});

test('on a phone the controls stack under the map and nothing scrolls sideways', async () => {
  const page = await context.newPage();
  await page.setViewportSize({ width: 390, height: 844 });
  await page.goto(origin);
  await canvasMap(page);
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 390));
  const map = await page.locator('.map').boundingBox();
  const controls = await page.locator('.controls').boundingBox();
  assert.ok(controls.y >= map.y + map.height - 1);
  await page.close();
});
