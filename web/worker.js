// The renderer's thread: the core compiled to WebAssembly, called through its small C API. One
// request at a time, answered with the same id; the page never waits on it.
import createHillograph from './hillograph-web.js';

const TOWN_FOLDER = '/towns';
const PRESET_FILE = '/tmp/upload.hpf';

const ready = createHillograph().then((core) => {
  core.FS.mkdirTree(TOWN_FOLDER);
  core.FS.mkdirTree('/tmp');
  return core;
});
ready.catch(() => {}); // said in the answer to each request

function call(core, name, ...args) {
  const types = args.map((arg) => (typeof arg === 'number' ? 'number' : 'string'));
  return core.ccall(name, 'number', types, args);
}

function text(core, name) {
  return core.UTF8ToString(core.ccall(name, 'number', [], []));
}

// Throws the core's message when it failed.
function check(core, status) {
  if (status !== 0) throw new Error(text(core, 'hg_error'));
}

function readLink(core, link) {
  check(core, call(core, 'hg_read_link', link));
  const problems = text(core, 'hg_text').split('\n').filter(Boolean);
  return { problems, link: text(core, 'hg_link') };
}

function render(core) {
  check(core, call(core, 'hg_render', 1));
  const width = call(core, 'hg_width');
  const height = call(core, 'hg_height');
  const start = call(core, 'hg_rgba');
  // A copy of its own, handed over without another: the core's memory may move as it grows.
  const pixels = core.HEAPU8.slice(start, start + width * height * 4).buffer;
  return { width, height, pixels, transfer: [pixels] };
}

function encoded(core, format) {
  check(core, call(core, 'hg_encode', format));
  const start = call(core, 'hg_bytes');
  const bytes = core.HEAPU8.slice(start, start + call(core, 'hg_bytes_size')).buffer;
  return { bytes, transfer: [bytes] };
}

const handlers = {
  // { link, render }: the map of the link, drawn when asked.
  map(core, { link, render: draw }) {
    const answer = readLink(core, link);
    return draw ? { ...answer, ...render(core) } : answer;
  },

  // { name, bytes }: the town database, or none when bytes is null.
  towns(core, { name, bytes }) {
    for (const old of core.FS.readdir(TOWN_FOLDER)) {
      if (old !== '.' && old !== '..') core.FS.unlink(`${TOWN_FOLDER}/${old}`);
    }
    if (!bytes) {
      call(core, 'hg_set_town_db', '');
      return {};
    }
    // The name is only shown; the file in the worker's memory is what is read.
    const safe = name.replace(/[/\0]/g, '_');
    const path = `${TOWN_FOLDER}/${/^\.*$/.test(safe) ? 'towns.txt' : safe}`;
    core.FS.writeFile(path, new Uint8Array(bytes));
    call(core, 'hg_set_town_db', path);
    return {};
  },

  // { name, bytes }: a preset file, or a PNG picture's recipe, read as the window reads one.
  preset(core, { name, bytes }) {
    core.FS.writeFile(PRESET_FILE, new Uint8Array(bytes));
    try {
      check(core, call(core, 'hg_read_preset', PRESET_FILE, name));
    } finally {
      core.FS.unlink(PRESET_FILE);
    }
    return {
      townDb: text(core, 'hg_text'),
      autoRefresh: call(core, 'hg_preset_auto_refresh') === 1,
      notes: text(core, 'hg_preset_notes').split('\n').filter(Boolean),
      link: text(core, 'hg_link'),
    };
  },

  // { format }: a file of the map drawn last.
  encode(core, { format }) {
    return encoded(core, format);
  },

  // { link, format }: a picture too large for the canvas, straight into its file.
  picture(core, { link, format }) {
    const { problems } = readLink(core, link);
    check(core, call(core, 'hg_render', 0));
    return { problems, ...encoded(core, format) };
  },
};

let queue = Promise.resolve();

self.onmessage = (event) => {
  const { id, op, ...request } = event.data;
  queue = queue.then(async () => {
    let core;
    try {
      core = await ready;
    } catch (error) {
      self.postMessage({ id, ok: false, fatal: true, error: `The renderer could not start: ${error.message}` });
      return;
    }
    try {
      const { transfer = [], ...answer } = handlers[op](core, request);
      self.postMessage({ id, ok: true, ...answer }, transfer);
    } catch (error) {
      // The core's own failures come as messages; anything else (a trap, memory the browser
      // refused) leaves the core unusable, and the page starts a new worker.
      const fatal = !(error instanceof Error && error.constructor === Error);
      self.postMessage({ id, ok: false, fatal, error: error.message || String(error) });
    }
  });
};
