// A one-line field for one number, optionally held to a range. Value is parsed from the text on
// every read and written back to it, formatted, on every write; text that is not a number (pasted
// letters, a lone sign, an empty field) reads as the last number the text held, and leaving the
// field puts that number back.
#pragma once

#include <QLineEdit>

#include "parameters/MapParameters.h"

namespace hillograph {

inline constexpr TNumberRange DefaultNumberEditRange{0, 0};  // Min = Max: no range
inline constexpr double DefaultNumberEditValue = 0;

// The decimal separator of the user's locale, "." when it has none. Nothing else is taken from
// the locale: no thousands separators, no native digits.
QString LocaleDecimalSeparator();

class TNumberEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TNumberEdit(QWidget* parent = nullptr);

  // The range holds only while Min < Max. Writing a bound leaves the text alone; the new range
  // applies from the next read or write of Value.
  double Min() const { return range.Min; }
  void SetMin(double Min) { range.Min = Min; }
  double Max() const { return range.Max; }
  void SetMax(double Max) { range.Max = Max; }

  // The text's number, clamped; the last number the text held while it holds none, so every read
  // gives a finite number within the range. The tooltip says why meanwhile.
  double Value() const;
  // Clamps, formats and sets the text, which emits Changed synchronously when the text really
  // changes; then repaints at once.
  void SetValue(double Value);

 signals:
  // Every change of the text: typing, pasting, deleting or a write of Value.
  void Changed();
  // The field has lost the focus and its text has been rewritten in normal form.
  void Exited();
  // After the Changed of a text that is not a number: why the field keeps its number.
  void NotANumber(const QString& Why);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void TextChanged(const QString& Text);

  TNumberRange range = DefaultNumberEditRange;
  double lastNumber_ = DefaultNumberEditValue;
};

}  // namespace hillograph
