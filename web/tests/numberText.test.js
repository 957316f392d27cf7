import assert from 'node:assert/strict';
import { test } from 'node:test';

import { fieldValue, formatNumberText, parseNumberText } from '../lib/numberText.js';

test('the text of a number field reads as the window reads it', () => {
  const cases = [
    ['640', 640], ['  +5 ', 5], ['-.5', -0.5], ['2.', 2], ['1.5e3', 1500], ['1E-2', 0.01],
    ['1e400', Number.MAX_VALUE], ['-1e400', -Number.MAX_VALUE],
    ['', null], ['-', null], ['1.2.3', null], ['1,5', null], ['e5', null], ['1e', null], ['0x10', null],
    ['5\t', null],
  ];
  for (const [text, value] of cases) assert.equal(parseNumberText(text), value, text);
  assert.equal(fieldValue('5000', { min: 1, max: 1000 }), 1000);
  assert.equal(fieldValue('abc', { min: 1, max: 1000 }), 1);
  assert.equal(fieldValue('-3', { min: 0, max: 0 }), -3); // no range unless min < max
});

test('numbers are written with fifteen significant digits, as the window writes them', () => {
  const cases = [
    [0, '0'], [640, '640'], [123456789, '123456789'], [2147483647, '2147483647'], [2.5, '2.5'],
    [0.1 + 0.2, '0.3'], [-3, '-3'], [1e20, '1E20'], [0.000015, '1.5E-5'], [0.0001, '0.0001'],
    [999999999999999, '999999999999999'], [1e15, '1E15'], [0.30000000000000004e-10, '3E-11'],
    [1234567.891234567, '1234567.89123457'], [9.999999999999999, '10'], [-0.00012345, '-0.00012345'],
    [Number.MAX_VALUE, '1.79769313486232E308'],
  ];
  for (const [value, text] of cases) assert.equal(formatNumberText(value), text, String(value));
});
