// The page: the window's controls around a canvas, the address holding the map, and a worker
// that renders with the same core as the desktop.
import { LabelDrag, WheelNotches, steppedText } from './lib/adjust.js';
import { LatestWins } from './lib/latestWins.js';
import { fieldValue, formatNumberText } from './lib/numberText.js';
import { COLOR_KEYS, NUMBER_KEYS, requestText, startTexts, textsOfLink } from './lib/parameters.js';
import { Renderer } from './lib/renderer.js';
import { cssSize, fitZoom, wheelZoom } from './lib/zoom.js';

const PRESET_LIMIT = 64 * 1024 * 1024; // a longer file holds no preset
const PNG_SIGNATURE = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
const TOWN_FILE_LIMIT = 256 * 1024 * 1024;
const LARGEST_SIDE = 8192; // beyond it, hillograph-render
const LARGEST_LABEL_SCALE = 16;
const NUMBER_CHARACTERS = /^[0-9+\-.]*$/;

const $ = (id) => document.getElementById(id);
const canvas = $('map');
const viewport = $('viewport');
const autoRefresh = $('auto-refresh');

const state = {
  texts: startTexts(), // each key's text as its control holds it
  size: null, // { width, height } from a link, past the fields' range, until a side is edited
  labelScale: 1,
  link: '', // the map's link as the core writes it
  drawn: null, // the request text of the map the worker holds
  town: null, // { name, bytes } of the town database
  zoom: 1, // or 'fit'
};

// ---- Messages: every failure is said in the page.

function say(text, kind = 'error') {
  if ($('messages').firstChild?.textContent === text) return;
  const line = document.createElement('p');
  line.className = kind;
  line.textContent = text;
  $('messages').prepend(line);
  while ($('messages').childElementCount > 5) $('messages').lastChild.remove();
}

function status(text) {
  $('status').textContent = text;
}

// ---- The renderer.

// The first worker is the one the page started before its modules loaded, unless it failed.
let earlyWorker = window.hillographWorker;
function makeWorker() {
  const worker = earlyWorker && !earlyWorker.failed ? earlyWorker : new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });
  earlyWorker = null;
  return worker;
}

const renderer = new Renderer(makeWorker, {
  onRestart: restarted,
  onProgress: ({ stage, fraction }) => {
    $('progress').value = fraction;
    status(`${stage}...`);
  },
});

function request() {
  return requestText(state.texts, { size: state.size, labelScale: state.labelScale });
}

function setAddress(link) {
  state.link = link;
  const address = link ? `#${link}` : location.pathname + location.search;
  history.replaceState(null, '', address);
}

function draw({ width, height, pixels }) {
  canvas.width = width;
  canvas.height = height;
  canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(pixels), width, height), 0, 0);
  showZoom();
}

function sayLeftOut(problems) {
  if (problems.length > 0) say(`Left out of the link: ${problems.join('; ')}.`);
}

// Renders run one at a time; of the changes made meanwhile only the latest is drawn next.
const renders = new LatestWins(async ({ link, render, opening }) => {
  if (render) status('Rendering...');
  try {
    const answer = await renderer.call('map', { link, render });
    if (opening) {
      const opened = textsOfLink(answer.link);
      Object.assign(state, { texts: opened.texts, size: opened.size, labelScale: opened.labelScale });
      showTexts();
      sayLeftOut(answer.problems);
    }
    setAddress(answer.link);
    if (render) {
      draw(answer);
      state.drawn = opening ? request() : link;
      if (performance.getEntriesByName('first-map').length === 0) performance.mark('first-map');
    }
  } catch (error) {
    if (!error.fatal) say(error.message); // a stopped renderer says so itself
  } finally {
    status('');
    if (!renders.waiting) document.body.dataset.state = 'ready';
  }
});

// Every render and link goes through here; the page says when all it asked for is done.
function ask(job) {
  document.body.dataset.state = 'rendering';
  renders.request(job);
}

// Any parameter changed: the address follows, and the map when automatic refresh is ticked.
function changed() {
  ask({ link: request(), render: autoRefresh.checked });
}

function refresh() {
  ask({ link: request(), render: true });
}

function open(link) {
  ask({ link, render: true, opening: true });
}

async function restarted(reason, fatal, started) {
  state.drawn = null;
  hideProgress();
  if (!started) {
    say(reason);
    document.body.dataset.state = 'ready';
    return;
  }
  say(fatal ? `${reason} The renderer was started again.` : reason, fatal ? 'error' : 'info');
  try {
    if (state.town) await renderer.call('towns', { name: state.town.name, bytes: state.town.bytes.slice(0) });
  } catch (error) {
    say(error.message);
  }
  refresh();
}

// ---- Number fields and their labels, as in the window.

const numberKeys = Object.fromEntries(NUMBER_KEYS.map((k) => [k.key, k]));

function setText(key, text) {
  const input = $(key);
  if (input.value === text && state.texts[key] === text) return;
  input.value = text;
  state.texts[key] = text;
  if (key === 'Width' || key === 'Height') state.size = null;
  changed();
}

function step(key, steps) {
  setText(key, steppedText($(key).value, steps, numberKeys[key]));
}

function showTexts() {
  for (const { key } of NUMBER_KEYS) $(key).value = state.texts[key];
  for (const { key } of COLOR_KEYS) {
    const text = state.texts[key];
    if (/^#[0-9a-f]{6}$/i.test(text)) $(key).value = text.toLowerCase();
  }
}

for (const { key, range, drag } of NUMBER_KEYS) {
  const input = $(key);
  input.value = state.texts[key];
  // Characters that cannot belong to a number are dropped as they are typed; pasting is not
  // filtered, and leaving the field puts its text in normal form.
  input.addEventListener('beforeinput', (event) => {
    if (event.inputType === 'insertText' && !NUMBER_CHARACTERS.test(event.data ?? '')) event.preventDefault();
  });
  input.addEventListener('input', () => {
    state.texts[key] = input.value;
    if (key === 'Width' || key === 'Height') state.size = null;
    changed();
  });
  input.addEventListener('blur', () => setText(key, formatNumberText(fieldValue(input.value, range))));
  input.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      event.preventDefault();
      $('refresh').click();
    } else if (drag && (event.key === 'ArrowUp' || event.key === 'ArrowDown') && !event.altKey && !event.ctrlKey && !event.metaKey && !event.shiftKey) {
      event.preventDefault();
      step(key, event.key === 'ArrowUp' ? 1 : -1);
    }
  });
  if (!drag) continue;
  const notches = new WheelNotches();
  const wheel = (event) => {
    if (event.ctrlKey) return;
    event.preventDefault();
    const turned = notches.take(event.deltaY, event.deltaMode);
    if (turned !== 0) step(key, turned);
  };
  input.addEventListener('wheel', wheel, { passive: false });
  const label = $(`label-${key}`);
  label.addEventListener('wheel', wheel, { passive: false });
  const dragging = new LabelDrag();
  label.addEventListener('pointerdown', (event) => {
    if (event.button !== 0) return;
    event.preventDefault(); // the field being edited keeps the focus
    label.setPointerCapture(event.pointerId);
    dragging.press(event.clientX);
  });
  label.addEventListener('pointermove', (event) => {
    if (dragging.dragging) step(key, dragging.move(event.clientX));
  });
  for (const end of ['pointerup', 'pointercancel']) label.addEventListener(end, () => dragging.release());
}

for (const { key, label } of COLOR_KEYS) {
  const caption = document.createElement('label');
  caption.htmlFor = key;
  caption.textContent = label;
  const swatch = document.createElement('input');
  swatch.type = 'color';
  swatch.id = key;
  swatch.value = state.texts[key].toLowerCase();
  swatch.addEventListener('input', () => {
    state.texts[key] = swatch.value.toUpperCase();
    changed();
  });
  $('colors').append(caption, swatch);
}

// ---- The other controls.

$('new-seed').addEventListener('click', () => {
  const [draw] = crypto.getRandomValues(new Uint32Array(1));
  setText('RandSeed', formatNumberText(draw % 2147483647));
});

autoRefresh.addEventListener('change', () => {
  if (autoRefresh.checked) refresh();
});
$('refresh').addEventListener('click', refresh);

for (const tab of document.querySelectorAll('[role="tab"]')) {
  const select = () => {
    for (const other of document.querySelectorAll('[role="tab"]')) {
      const selected = other === tab;
      other.setAttribute('aria-selected', String(selected));
      other.tabIndex = selected ? 0 : -1;
      $(other.getAttribute('aria-controls')).hidden = !selected;
    }
  };
  tab.addEventListener('click', select);
  tab.addEventListener('keydown', (event) => {
    if (event.key !== 'ArrowLeft' && event.key !== 'ArrowRight') return;
    const tabs = [...document.querySelectorAll('[role="tab"]')];
    const next = tabs[(tabs.indexOf(tab) + (event.key === 'ArrowRight' ? 1 : tabs.length - 1)) % tabs.length];
    next.focus();
    next.click();
  });
}

$('copy-link').addEventListener('click', async () => {
  const address = location.href;
  try {
    await navigator.clipboard.writeText(address);
    say(state.town ? 'Link copied; it makes this map only with the same town database.' : 'Link copied.', 'info');
  } catch {
    say(`The browser did not let the page copy. The link: ${address}`, 'info');
  }
});

// ---- Files.

function download(bytes, name) {
  const url = URL.createObjectURL(new Blob([bytes]));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60_000);
}

// Saves what the controls show, rendered again first when the drawn map is older.
for (const button of document.querySelectorAll('[data-format]')) {
  button.addEventListener('click', async () => {
    try {
      const link = request();
      if (state.drawn !== link) {
        status('Rendering...');
        draw(await renderer.call('map', { link, render: true }));
        state.drawn = link;
      }
      const { bytes } = await renderer.call('encode', { format: button.dataset.format });
      download(bytes, button.dataset.name);
    } catch (error) {
      say(error.message);
    } finally {
      status('');
    }
  });
}

function hideProgress() {
  $('progress').hidden = true;
  $('cancel').hidden = true;
}

function wholeNumber(id, max) {
  const value = Number($(id).value);
  return Number.isInteger(value) && value >= 1 && value <= max ? value : null;
}

for (const button of document.querySelectorAll('[data-large]')) {
  button.addEventListener('click', async () => {
    const format = button.dataset.large;
    const width = wholeNumber('large-width', LARGEST_SIDE);
    const height = wholeNumber('large-height', LARGEST_SIDE);
    const labelScale = wholeNumber('large-scale', LARGEST_LABEL_SCALE);
    const size = `${$('large-width').value}x${$('large-height').value}`;
    const command = `hillograph-render --link '${location.href}' --size ${size} --label-scale ${$('large-scale').value} -o map.${format}`;
    if (!width || !height || !labelScale) {
      say(`The page makes pictures of 1 to ${LARGEST_SIDE} pixels a side, with label scales 1 to ${LARGEST_LABEL_SCALE}. Beyond that, use ${command}`);
      return;
    }
    $('progress').value = 0;
    $('progress').hidden = false;
    $('cancel').hidden = false;
    try {
      const link = requestText(state.texts, { size: { width, height }, labelScale });
      const { bytes } = await renderer.call('picture', { link, format });
      state.drawn = null;
      download(bytes, `map-${width}x${height}.${format}`);
    } catch (error) {
      state.drawn = null;
      if (/Out of memory/i.test(error.message) || error.fatal) {
        say(`The browser refused the memory for a ${width} × ${height} picture. Make it with ${command}`);
      } else if (error.message !== 'Cancelled.') {
        say(error.message);
      }
    } finally {
      hideProgress();
      status('');
    }
  });
}
$('cancel').addEventListener('click', () => renderer.restart('Cancelled.'));

async function loadTowns(file) {
  if (file.size > TOWN_FILE_LIMIT) {
    say(`Cannot read town database "${file.name}": File too large`);
    return;
  }
  try {
    const bytes = await file.arrayBuffer();
    await renderer.call('towns', { name: file.name, bytes: bytes.slice(0) });
    state.town = { name: file.name, bytes };
  } catch (error) {
    say(error.message);
    return;
  }
  $('town-name').textContent = file.name;
  $('town-note').textContent = `This map uses the town database "${file.name}": its link makes the same map only with the same file loaded.`;
  $('town-note').hidden = false;
  changed();
}

$('town-file').addEventListener('change', (event) => {
  const [file] = event.target.files;
  event.target.value = '';
  if (file) loadTowns(file);
});

$('town-clear').addEventListener('click', async () => {
  if (!state.town) return;
  try {
    await renderer.call('towns', { name: '', bytes: null });
  } catch (error) {
    say(error.message);
    return;
  }
  state.town = null;
  $('town-name').textContent = 'none';
  $('town-note').hidden = true;
  changed();
});

// A preset as "Load preset..." loads it: a file that is none changes nothing.
async function loadPreset(file) {
  let answer;
  try {
    // A picture's recipe lies before its image data: a poster's PNG is read up to the limit.
    const head = new Uint8Array(await file.slice(0, PNG_SIGNATURE.length).arrayBuffer());
    const png = PNG_SIGNATURE.every((byte, i) => head[i] === byte);
    const bytes =
      file.size > PRESET_LIMIT && !png
        ? new ArrayBuffer(0)
        : await file.slice(0, PRESET_LIMIT).arrayBuffer();
    answer = await renderer.call('preset', { name: file.name, bytes }, [bytes]);
  } catch (error) {
    say(error.message);
    return;
  }
  const loaded = textsOfLink(answer.link);
  Object.assign(state, { texts: loaded.texts, size: loaded.size, labelScale: loaded.labelScale });
  showTexts();
  autoRefresh.checked = answer.autoRefresh;
  for (const note of answer.notes) say(note, 'info');
  if (answer.townDb) {
    say(`The preset names the town database "${answer.townDb}", which the page cannot open by its name: choose it with "Town database".`, 'info');
  }
  changed();
}

$('preset-file').addEventListener('change', (event) => {
  const [file] = event.target.files;
  event.target.value = '';
  if (file) loadPreset(file);
});

document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dropping');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dropping');
  const [file] = event.dataTransfer.files;
  if (file) loadPreset(file);
});

// ---- The map on screen: one map pixel per device pixel at 100 %.

function showZoom() {
  const ratio = window.devicePixelRatio || 1;
  const zoom =
    state.zoom === 'fit'
      ? fitZoom(canvas.width, canvas.height, ratio, { width: viewport.clientWidth, height: viewport.clientHeight })
      : state.zoom;
  const { width, height } = cssSize(canvas.width, canvas.height, ratio, zoom);
  canvas.style.width = `${width}px`;
  canvas.style.height = `${height}px`;
  canvas.classList.toggle('enlarged', zoom > 1);
  $('zoom').textContent = `${Math.round(zoom * 100)} %`;
  return zoom;
}

$('fit').addEventListener('click', () => {
  state.zoom = 'fit';
  showZoom();
});
$('actual').addEventListener('click', () => {
  state.zoom = 1;
  showZoom();
});
viewport.addEventListener(
  'wheel',
  (event) => {
    if (!event.ctrlKey) return;
    event.preventDefault();
    state.zoom = wheelZoom(showZoom(), event.deltaY);
    showZoom();
  },
  { passive: false },
);
window.addEventListener('resize', showZoom);

// ---- The address is the map.

window.addEventListener('hashchange', () => open(location.hash));
window.addEventListener('unhandledrejection', (event) => say(String(event.reason?.message ?? event.reason)));
window.addEventListener('error', (event) => say(event.message));
open(location.hash);
