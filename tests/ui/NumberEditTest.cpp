#include "ui/NumberEdit.h"

#include <QDialog>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cfloat>

#include "tests/ui/WidgetInput.h"

namespace hillograph {
namespace {

const QChar DeleteCharacter(0x7F);

// Makes the user's locale one whose decimal separator is the given one.
void UseSeparator(const QString& separator) {
  QLocale::setDefault(separator == u"," ? QLocale(QLocale::German, QLocale::Germany)
                                        : QLocale(QLocale::English, QLocale::UnitedStates));
}

// A field with the focus in an active window, and a second field to move the focus to.
struct TFocusedField {
  QWidget window;
  TNumberEdit* edit = new TNumberEdit(&window);
  TNumberEdit* next = new TNumberEdit(&window);

  TFocusedField() {
    next->move(0, 40);
    if (ShowActive(window)) edit->setFocus();
  }
};

}  // namespace

class TNumberEditTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { UseSeparator("."); }

  void Formats_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    const auto row = [](QString separator, double value, QString text) {
      text.replace(u'.', separator);
      QTest::addRow("%s", qPrintable(text)) << separator << value << text;
    };
    for (const QString& separator : {QStringLiteral("."), QStringLiteral(",")}) {
      row(separator, 640, "640");
      row(separator, 2147483647, "2147483647");  // no thousands separators
      row(separator, 2.5, "2.5");
      row(separator, 0.1 + 0.2, "0.3");
      row(separator, 1e20, "1E20");
      row(separator, 0.000015, "1.5E-5");
    }
  }
  void Formats() {
    QFETCH(QString, separator);
    QFETCH(double, value);
    QFETCH(QString, text);
    UseSeparator(separator);
    TNumberEdit edit;
    edit.SetValue(value);
    QCOMPARE(edit.text(), text);
  }

  void Parses_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");  // text that is not a number reads as 0
    const auto row = [](QString separator, QString text, double value) {
      QTest::addRow("'%s' with '%s'", qPrintable(text), qPrintable(separator))
          << separator << text << value;
    };
    row(".", " 007 ", 7);
    row(".", "+1.50", 1.5);
    row(",", "1,5", 1.5);
    row(",", "1.5", 0);
    row(".", "1,000", 0);
    row(".", "", 0);
    row(".", "1e999", DBL_MAX);
  }
  void Parses() {
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(double, value);
    UseSeparator(separator);
    TNumberEdit edit;
    edit.setText(text);
    QCOMPARE(edit.Value(), value);
    QCOMPARE(edit.text(), text);  // reading leaves the text alone
  }

  void Clamps_data() {
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("written");
    QTest::addColumn<QString>("text");
    QTest::newRow("no range") << 0.0 << 0.0 << -3.0 << "-3";
    QTest::newRow("min above max") << 5.0 << 1.0 << -3.0 << "-3";
    QTest::newRow("min equals max") << 2.0 << 2.0 << 9.0 << "9";
    QTest::newRow("above max") << 1.0 << 1000.0 << 5000.0 << "1000";
    QTest::newRow("below min") << 1.0 << 1000.0 << -7.0 << "1";
    QTest::newRow("at min") << 1.0 << 1000.0 << 1.0 << "1";
    QTest::newRow("at max") << 1.0 << 1000.0 << 1000.0 << "1000";
  }
  void Clamps() {
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, written);
    QFETCH(QString, text);
    TNumberEdit edit;
    QCOMPARE(edit.text(), "0");
    edit.setText(QString::number(written));
    edit.SetMin(min);
    edit.SetMax(max);
    QCOMPARE(edit.text(), QString::number(written));  // a new range leaves the text alone
    QCOMPARE(edit.Value(), text.toDouble());
    edit.SetValue(written);
    QCOMPARE(edit.text(), text);
  }

  void WritingFiresChangedOnlyForANewText() {
    TFocusedField field;
    TNumberEdit& edit = *field.edit;
    QStringList seen;  // the text as each handler saw it
    connect(&edit, &TNumberEdit::Changed, this, [&] { seen << edit.text(); });
    const TEventCounter paints(&edit, QEvent::Paint);
    edit.SetValue(7);
    QCOMPARE(seen, QStringList{"7"});
    QCOMPARE(paints.Count, 1);  // repainted before the write returned
    edit.setCursorPosition(0);
    edit.SetValue(7.0000000000000001);  // the same text
    QCOMPARE(seen, QStringList{"7"});
    QCOMPARE(paints.Count, 2);
    QCOMPARE(edit.cursorPosition(), 0);  // the text was not set again
    QTest::keyClick(&edit, Qt::Key_1);
    QCOMPARE(seen, (QStringList{"7", "17"}));
  }

  void LeavingNormalises_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("max");  // with Min 1 when not 0
    QTest::addColumn<QString>("left");
    QTest::newRow("leading zeros") << "007" << 0.0 << "7";
    QTest::newRow("plus") << "+5" << 0.0 << "5";
    QTest::newRow("trailing zero") << "1.50" << 0.0 << "1.5";
    QTest::newRow("above max") << "5000" << 1000.0 << "1000";
    QTest::newRow("normal already") << "640" << 1000.0 << "640";
    QTest::newRow("not a number") << "1.2.3" << 0.0 << "0";
    QTest::newRow("empty, with a range") << "" << 1000.0 << "1";
  }
  void LeavingNormalises() {
    QFETCH(QString, typed);
    QFETCH(double, max);
    QFETCH(QString, left);
    TFocusedField field;
    TNumberEdit& edit = *field.edit;
    edit.SetMin(max == 0 ? 0 : 1);
    edit.SetMax(max);
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Backspace);
    TypeCharacters(&edit, typed);
    QCOMPARE(edit.text(), typed);  // kept as typed while the field has the focus

    QStringList events;
    connect(&edit, &TNumberEdit::Changed, this, [&] { events << "Changed " + edit.text(); });
    connect(&edit, &TNumberEdit::Exited, this, [&] { events << "Exited " + edit.text(); });
    QTest::keyClick(&edit, Qt::Key_Tab);
    QVERIFY(field.next->hasFocus());
    QStringList expected{"Exited " + left};
    if (left != typed) expected.prepend("Changed " + left);
    QCOMPARE(events, expected);
  }

  void TypedCharacters_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    const auto row = [](QString separator, QString typed, QString kept) {
      QTest::addRow("'%s' with '%s'", qPrintable(typed), qPrintable(separator))
          << separator << typed << kept;
    };
    row(".", "12a b.5e3", "12.53");
    row(".", "1+-..2-", "1+-..2-");  // anywhere, and more than once
    row(".", "1/2*3=%4_\u00BD\u00E9", "1234");
    row(",", "1.5,2", "15,2");
  }
  void TypedCharacters() {
    QFETCH(QString, separator);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    UseSeparator(separator);
    TNumberEdit edit;
    edit.clear();
    TypeCharacters(&edit, typed);
    QCOMPARE(edit.text(), kept);
  }

  void EditingKeysStillWork() {
    TNumberEdit edit;
    TypeCharacters(&edit, "23");  // after the 0 a new field shows
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    // Delete as the X11 keyboard delivers it, with the DEL character.
    QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_Delete, QString(DeleteCharacter),
                        Qt::NoModifier);
    QCOMPARE(edit.text(), "2");
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.text(), "02");
    QKeyEvent del(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(DeleteCharacter));
    QApplication::sendEvent(&edit, &del);
    QCOMPARE(edit.text(), "02");
  }

  void EnterPressesTheDefaultButtonButStaysOutOfTheField() {
    QDialog dialog;
    auto* edit = new TNumberEdit(&dialog);
    auto* button = new QPushButton("Refresh!", &dialog);
    button->move(0, 40);
    button->setDefault(true);
    QVERIFY(ShowActive(dialog));
    edit->setFocus();
    const QSignalSpy clicks(button, &QPushButton::clicked);
    const QSignalSpy changes(edit, &TNumberEdit::Changed);
    const QSignalSpy returns(edit, &TNumberEdit::returnPressed);  // the field drops Enter
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(returns.count(), 0);
    QVERIFY(edit->hasFocus());
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::TNumberEditTest)
#include "NumberEditTest.moc"
