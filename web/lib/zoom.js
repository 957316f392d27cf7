// The map's size on screen. At 100 % one map pixel covers one device pixel, so its CSS size is
// its size divided by devicePixelRatio; the zoom scales that and nothing else.

export const ZOOM_STEP = 1.25; // one Ctrl+wheel notch
export const MIN_ZOOM = 1 / 64;
export const MAX_ZOOM = 64;

export function cssSize(width, height, devicePixelRatio, zoom) {
  return { width: (width / devicePixelRatio) * zoom, height: (height / devicePixelRatio) * zoom };
}

// The zoom that shows the whole map in the view, as large as it fits.
export function fitZoom(width, height, devicePixelRatio, view) {
  const atActualSize = cssSize(width, height, devicePixelRatio, 1);
  return Math.min(view.width / atActualSize.width, view.height / atActualSize.height);
}

// A wheel turned up (negative deltaY) enlarges by one step, down shrinks.
export function wheelZoom(zoom, deltaY) {
  if (deltaY === 0) return zoom;
  const next = deltaY < 0 ? zoom * ZOOM_STEP : zoom / ZOOM_STEP;
  return Math.min(MAX_ZOOM, Math.max(MIN_ZOOM, next));
}
