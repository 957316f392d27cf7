// How the dragging labels, the wheel and Up/Down change a number field, as in the window: each
// pixel of sideways travel, notch or key press adds the field's increment to the value the field
// reads, and the result is brought into the range and written as the field's text.

import { clamp, fieldValue, formatNumberText } from './numberText.js';

export const WHEEL_NOTCH = 120; // the wheel delta of one notch, as the window counts it

// The field's new text after Steps steps (pixels, notches or presses; negative to the left or
// down). The sum is rounded once, as the window's sum is.
export function steppedText(text, steps, { range, increment = 1 }) {
  return formatNumberText(clamp(fieldValue(text, range) + steps * increment, range));
}

// Counts the notches of a turning wheel, keeping the part of a notch that smooth wheels and
// touch pads send until it adds up to a whole one. DeltaMode 0 counts pixels, of which a notch
// is taken to be 100, as Chromium reports one; lines and pages count as a notch each.
export class WheelNotches {
  #turn = 0;

  take(deltaY, deltaMode = 0) {
    const delta = deltaMode === 0 ? (-deltaY * WHEEL_NOTCH) / 100 : -Math.sign(deltaY) * WHEEL_NOTCH;
    this.#turn += delta;
    const notches = Math.trunc(this.#turn / WHEEL_NOTCH) || 0; // never -0
    this.#turn -= notches * WHEEL_NOTCH;
    return notches;
  }
}

// A drag of a label: the distance since the previous pointer event counts, so the total change is
// the whole travel however few events arrive, and travel at a bound is not remembered.
export class LabelDrag {
  #lastX = null;

  press(x) {
    this.#lastX = Math.round(x);
  }

  get dragging() {
    return this.#lastX !== null;
  }

  // The pixels travelled since the previous event, or 0 when no drag is going on.
  move(x) {
    if (this.#lastX === null) return 0;
    const now = Math.round(x);
    const pixels = now - this.#lastX;
    this.#lastX = now;
    return pixels;
  }

  release() {
    this.#lastX = null;
  }
}
