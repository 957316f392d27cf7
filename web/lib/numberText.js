// The text of a number field, as the window's fields read and write it: "." as the separator,
// fifteen significant digits.

const NUMBER = /^ *([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?) *$/;
const DIGITS = 15;

// The number the text holds, or null when it holds none. Beyond the range of a double it
// saturates to the largest finite one.
export function parseNumberText(text) {
  const match = NUMBER.exec(text);
  if (!match) return null;
  const value = Number(match[1]);
  if (Number.isFinite(value)) return value;
  return value < 0 ? -Number.MAX_VALUE : Number.MAX_VALUE;
}

// What a field reads from its text: the number, 0 when there is none, brought into the range.
export function fieldValue(text, range) {
  return clamp(parseNumberText(text) ?? 0, range);
}

// Strict comparisons, and no range unless min < max.
export function clamp(value, { min, max }) {
  if (!(min < max)) return value;
  if (value < min) return min;
  if (value > max) return max;
  return value;
}

// Fifteen significant digits, halves away from zero; fixed notation from 0.0001 to below 1e15,
// scientific otherwise (1E20, 1.5E-5); no trailing zeros.
export function formatNumberText(value) {
  if (Number.isNaN(value)) return 'NAN';
  if (!Number.isFinite(value)) return value < 0 ? '-INF' : 'INF';
  if (value === 0) return '0';
  const [mantissa, exponentText] = Math.abs(value).toExponential(DIGITS - 1).split('e');
  const digits = mantissa.replace('.', '').replace(/0+$/, '') || '0';
  const exponent = Number(exponentText);
  const sign = value < 0 ? '-' : '';
  if (exponent < -4 || exponent >= DIGITS) {
    const rest = digits.length > 1 ? '.' + digits.slice(1) : '';
    return `${sign}${digits[0]}${rest}E${exponent}`;
  }
  if (exponent < 0) return `${sign}0.${'0'.repeat(-exponent - 1)}${digits}`;
  if (digits.length <= exponent + 1) return sign + digits + '0'.repeat(exponent + 1 - digits.length);
  return `${sign}${digits.slice(0, exponent + 1)}.${digits.slice(exponent + 1)}`;
}
