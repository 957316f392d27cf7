import assert from 'node:assert/strict';
import { test } from 'node:test';

import { requestText, startTexts, textsOfLink } from '../lib/parameters.js';

test('every text goes to the core, a Size in place of the sides', () => {
  const texts = { ...startTexts(), TownAmount: '30.5', Mountain: '#FF0000' };
  const full = requestText(texts);
  assert.match(full, /^Width=640&Height=480&RandSeed=123456789&.*TownAmount=30.5&.*Mountain=%23FF0000$/);
  assert.equal(full.split('&').length, 16);
  const sized = requestText(texts, { size: { width: 2000, height: 3000 }, labelScale: 3 });
  assert.match(sized, /^Size=2000x3000&RandSeed=.*&LabelScale=3$/);
  assert.ok(!sized.includes('Width='));
});

test("the core's link gives the controls' texts back", () => {
  const { texts, size, labelScale } = textsOfLink('#Size=2000x480&TownAmount=30.5&Mountain=%23FF0000&LabelScale=4');
  assert.deepEqual(size, { width: 2000, height: 480 });
  assert.equal(labelScale, 4);
  assert.deepEqual(texts, { ...startTexts(), Width: '2000', Height: '480', TownAmount: '30.5', Mountain: '#FF0000' });
  assert.deepEqual(textsOfLink(''), { texts: startTexts(), size: null, labelScale: 1 });
});
