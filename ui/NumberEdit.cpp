#include "ui/NumberEdit.h"

#include <algorithm>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>

#include "parameters/NumberText.h"

namespace hillograph {
namespace {

const QChar EnterCharacter = u'\r';
constexpr char16_t FirstPrintableCode = 32;

bool IsNumberCharacter(QChar c) {
  return c == u'+' || c == u'-' || (c >= u'0' && c <= u'9');
}

bool IsEnter(const QKeyEvent& event) {
  return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter ||
         event.text() == EnterCharacter;
}

// Keys without a character (arrows, Home, Delete) and shortcuts (Ctrl+C, Ctrl+Z) are commands
// for the edit, not typed characters. Delete carries DEL on some platforms and Ctrl+letter its
// plain letter in synthesised events, so both are recognised by key and modifiers.
bool IsTypedCharacter(const QKeyEvent& event) {
  if (event.text().isEmpty() || event.key() == Qt::Key_Delete) return false;
  const Qt::KeyboardModifiers modifiers =
      event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  return modifiers != Qt::ControlModifier && modifiers != (Qt::ControlModifier | Qt::ShiftModifier);
}

// Signs, digits, the separator, and control characters other than Enter (Backspace, the
// clipboard and undo codes) may be typed; anything else can't belong to a number.
bool MayBeTyped(const QString& text, const QString& separator) {
  if (text == separator) return true;
  return std::all_of(text.begin(), text.end(), [](QChar c) {
    return IsNumberCharacter(c) || (c.unicode() < FirstPrintableCode && c != EnterCharacter);
  });
}

}  // namespace

QString LocaleDecimalSeparator() {
  const QString separator = QLocale().decimalPoint();
  return separator.isEmpty() ? QString::fromLatin1(DefaultDecimalSeparator) : separator;
}

TNumberEdit::TNumberEdit(QWidget* parent) : QLineEdit(parent) {
  // Typing must pass the key filter; an input method would commit text around it.
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setText(QString::fromStdString(FormatNumberText(DefaultNumberEditValue)));
  connect(this, &QLineEdit::textChanged, this, &TNumberEdit::TextChanged);
}

void TNumberEdit::TextChanged(const QString& Text) {
  const auto number = ParseNumberText(Text.toStdString(), LocaleDecimalSeparator().toStdString());
  if (number) lastNumber_ = *number;
  setToolTip(number ? QString()
                    : QStringLiteral("\"%1\" is not a number; the field keeps %2.")
                          .arg(Text, QString::fromStdString(FormatNumberText(
                                         Value(), LocaleDecimalSeparator().toStdString()))));
  emit Changed();
  if (!number) emit NotANumber(toolTip());
}

double TNumberEdit::Value() const {
  const auto number = ParseNumberText(text().toStdString(), LocaleDecimalSeparator().toStdString());
  return ClampValue(number.value_or(lastNumber_), range);
}

void TNumberEdit::SetValue(double Value) {
  const QString formatted = QString::fromStdString(
      FormatNumberText(ClampValue(Value, range), LocaleDecimalSeparator().toStdString()));
  // setText would also move the caret and clear the undo history of an unchanged text.
  if (formatted != text()) setText(formatted);
  repaint();
}

void TNumberEdit::keyPressEvent(QKeyEvent* event) {
  if (IsEnter(*event)) {
    // Not for the field, but the window's default button still has to see it.
    event->ignore();
    return;
  }
  if (IsTypedCharacter(*event) && !MayBeTyped(event->text(), LocaleDecimalSeparator())) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TNumberEdit::focusOutEvent(QFocusEvent* event) {
  // A context menu opening over the field does not leave it.
  const bool leaving = event->reason() != Qt::PopupFocusReason;
  if (leaving) SetValue(Value());
  QLineEdit::focusOutEvent(event);
  if (leaving) emit Exited();
}

}  // namespace hillograph
