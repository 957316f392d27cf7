// The map's parameters as the page's controls hold them: one text per key, in the link's
// spelling, with the window's labels, ranges and start-up values.

export const NUMBER_KEYS = [
  { key: 'Width', range: { min: 1, max: 1000 }, start: '640' },
  { key: 'Height', range: { min: 1, max: 1000 }, start: '480' },
  { key: 'RandSeed', label: 'Random seed:', range: { min: 0, max: 2147483647 }, start: '123456789' },
  { key: 'Diversity', label: 'Diversity of relief:', range: { min: 1, max: 1000 }, start: '700', drag: true },
  { key: 'WaterAmount', label: 'Amount of water:', range: { min: 0, max: 255 }, start: '150', drag: true },
  { key: 'TownAmount', label: 'Amount of towns:', range: { min: 0, max: 10000 }, start: '30', drag: true },
  { key: 'GridSize', label: 'Grid size:', range: { min: 20, max: 200 }, start: '80', drag: true, style: true },
  { key: 'Shadows', label: 'Shadows:', range: { min: 0, max: 50 }, start: '30', drag: true, style: true },
];

// Colours as #RRGGBB, red first.
export const COLOR_KEYS = [
  { key: 'LandBorder', label: 'Land border:', start: '#003030' },
  { key: 'MapFrame', label: 'Map frame:', start: '#202020' },
  { key: 'Grid', label: 'Grid:', start: '#2050A0' },
  { key: 'SeaMin', label: 'Sea min.:', start: '#5080F0' },
  { key: 'SeaMax', label: 'Sea max.:', start: '#7090FF' },
  { key: 'Plain', label: 'Plain:', start: '#7CC156' },
  { key: 'Hill', label: 'Hill:', start: '#C9CF24' },
  { key: 'Mountain', label: 'Mountain:', start: '#807010' },
];

export const KEYS = [...NUMBER_KEYS, ...COLOR_KEYS].map((k) => k.key);

// The start-up texts of every key.
export function startTexts() {
  return Object.fromEntries([...NUMBER_KEYS, ...COLOR_KEYS].map((k) => [k.key, k.start]));
}

// Link text that holds every key's text as it stands, in order, for the core to read; Size and
// LabelScale follow when given. The core writes the short form of the same map.
export function requestText(texts, { size = null, labelScale = 1 } = {}) {
  const pairs = KEYS.filter((key) => !(size && (key === 'Width' || key === 'Height'))).map(
    (key) => `${key}=${encodeURIComponent(texts[key])}`,
  );
  if (size) pairs.unshift(`Size=${size.width}x${size.height}`);
  if (labelScale !== 1) pairs.push(`LabelScale=${labelScale}`);
  return pairs.join('&');
}

// The texts of a link as the core writes it (keys spelt as above, nothing broken), on top of the
// start-up texts; a Size comes back on its own, as it lies beyond the fields' range.
export function textsOfLink(link) {
  const texts = startTexts();
  let size = null;
  let labelScale = 1;
  for (const pair of link.replace(/^#/, '').split('&')) {
    if (!pair) continue;
    const at = pair.indexOf('=');
    const key = pair.slice(0, at);
    const value = decodeURIComponent(pair.slice(at + 1));
    if (key === 'Size') {
      const [width, height] = value.split('x').map(Number);
      size = { width, height };
      texts.Width = String(width);
      texts.Height = String(height);
    } else if (key === 'LabelScale') {
      labelScale = Number(value);
    } else {
      texts[key] = value;
    }
  }
  return { texts, size, labelScale };
}
