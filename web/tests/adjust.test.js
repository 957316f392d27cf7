import assert from 'node:assert/strict';
import { test } from 'node:test';

import { LabelDrag, WheelNotches, steppedText } from '../lib/adjust.js';

const water = { range: { min: 0, max: 255 } };

test('a step adds the pixels to what the field reads, brought into its range', () => {
  const cases = [
    ['150', 10, '160'], ['2.5', 1, '3.5'], ['007', 0, '7'], ['0', -5, '0'], ['250', 20, '255'],
    ['x', 3, '3'], ['300', -1, '254'], ['1e2', 1, '101'],
  ];
  for (const [text, steps, after] of cases) assert.equal(steppedText(text, steps, water), after, text);
});

test('a drag counts the travel between events, however few arrive, and forgets travel at a bound', () => {
  const drag = new LabelDrag();
  assert.equal(drag.move(50), 0); // no drag yet
  drag.press(100);
  let text = '30';
  for (const x of [101, 105, 110, 110]) text = steppedText(text, drag.move(x), water);
  assert.equal(text, '40');
  text = '0';
  for (const x of [90, 95]) text = steppedText(text, drag.move(x), water);
  assert.equal(text, '5'); // back right from the bound: raised at once
  drag.release();
  assert.equal(drag.move(300), 0);
});

test('the wheel steps by whole notches and keeps the rest of one', () => {
  const wheel = new WheelNotches();
  assert.deepEqual([-100, -50, -50, 100, 3, 0].map((d) => wheel.take(d)), [1, 0, 1, -1, 0, 0]);
  assert.equal(new WheelNotches().take(-1, 1), 1); // lines: a notch each
});
