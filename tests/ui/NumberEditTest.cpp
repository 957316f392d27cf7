#include "ui/NumberEdit.h"

#include <QClipboard>
#include <QDialog>
#include <QLocale>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cfloat>

#include "tests/ui/WidgetInput.h"

namespace hillograph {
namespace {

// A locale whose decimal separator is the given one.
QLocale LocaleWith(const QString& separator) {
  return separator == u"," ? QLocale(QLocale::German, QLocale::Germany)
                           : QLocale(QLocale::English, QLocale::UnitedStates);
}

// A field that has the focus, in an active window, with a second field to move the focus to.
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
  void cleanup() { QLocale::setDefault(LocaleWith(".")); }

  void Formats_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    for (const char* separator : {".", ","}) {
      const auto row = [&](double value, QString text) {
        text.replace(u'.', QLatin1String(separator));
        QTest::addRow("%s %s", separator, qPrintable(text)) << QString(separator) << value << text;
      };
      row(0, "0");
      row(640, "640");
      row(123456789, "123456789");
      row(2147483647, "2147483647");
      row(1234567, "1234567");  // no thousands separator
      row(2.5, "2.5");
      row(-3, "-3");
      row(0.1 + 0.2, "0.3");
      row(1e20, "1E20");
      row(0.000015, "1.5E-5");
    }
  }
  void Formats() {
    QFETCH(QString, separator);
    QFETCH(double, value);
    QFETCH(QString, text);
    QLocale::setDefault(LocaleWith(separator));
    TNumberEdit edit;
    edit.SetValue(value);
    QCOMPARE(edit.text(), text);
  }

  void Parses_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("whole") << "."
                           << "640" << 640.0;
    QTest::newRow("spaces and zeros") << "."
                                      << " 007 " << 7.0;
    QTest::newRow("plus") << "."
                          << "+5" << 5.0;
    QTest::newRow("fraction") << "."
                              << "1.50" << 1.5;
    QTest::newRow("exponent") << "."
                              << "2.5e1" << 25.0;
    QTest::newRow("comma under comma") << ","
                                       << "1,5" << 1.5;
    QTest::newRow("full stop under comma") << ","
                                           << "1.5" << 0.0;
    QTest::newRow("comma under full stop") << "."
                                           << "1,5" << 0.0;
    QTest::newRow("thousands") << "."
                               << "1,000" << 0.0;
    QTest::newRow("empty") << "."
                           << "" << 0.0;
    QTest::newRow("lone sign") << "."
                               << "-" << 0.0;
    QTest::newRow("two separators") << "."
                                    << "1.2.3" << 0.0;
    QTest::newRow("two signs") << "."
                               << "+-1" << 0.0;
    QTest::newRow("letters") << "."
                             << "abc" << 0.0;
    QTest::newRow("beyond double") << "."
                                   << "1e999" << DBL_MAX;
  }
  void Parses() {
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(double, value);
    QLocale::setDefault(LocaleWith(separator));
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
    QTest::newRow("no range, positive") << 0.0 << 0.0 << 5.0 << "5";
    QTest::newRow("no range, negative") << 0.0 << 0.0 << -3.0 << "-3";
    QTest::newRow("min above max") << 5.0 << 1.0 << -3.0 << "-3";
    QTest::newRow("min equals max") << 2.0 << 2.0 << 9.0 << "9";
    QTest::newRow("above max") << 1.0 << 1000.0 << 5000.0 << "1000";
    QTest::newRow("below min") << 1.0 << 1000.0 << -7.0 << "1";
    QTest::newRow("at min") << 1.0 << 1000.0 << 1.0 << "1";
    QTest::newRow("at max") << 1.0 << 1000.0 << 1000.0 << "1000";
    QTest::newRow("inside") << 0.0 << 255.0 << 127.5 << "127.5";
  }
  void Clamps() {
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, written);
    QFETCH(QString, text);
    TNumberEdit edit;
    QCOMPARE(edit.text(), "0");
    edit.SetMin(min);
    edit.SetMax(max);
    edit.SetValue(written);
    QCOMPARE(edit.text(), text);
    // Reading an unformatted text clamps the same way.
    edit.setText(QString::number(written, 'f', 3));
    QCOMPARE(edit.Value(), text.toDouble());
  }

  void BoundsApplyFromTheNextRead() {
    TNumberEdit edit;
    edit.setText("5000");
    edit.SetMin(1);
    edit.SetMax(1000);
    QCOMPARE(edit.text(), "5000");
    QCOMPARE(edit.Value(), 1000.0);
    QCOMPARE(edit.text(), "5000");
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

    edit.SetValue(7);
    edit.SetValue(7.0000000000000001);  // formats to the same text
    QCOMPARE(seen, QStringList{"7"});
    QCOMPARE(paints.Count, 3);

    QTest::keyClick(&edit, Qt::Key_1);
    QCOMPARE(seen, (QStringList{"7", "71"}));
  }

  void LeavingNormalises_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<QString>("left");
    QTest::newRow("leading zeros") << "007" << 0.0 << 0.0 << "7";
    QTest::newRow("plus") << "+5" << 0.0 << 0.0 << "5";
    QTest::newRow("trailing zero") << "1.50" << 0.0 << 0.0 << "1.5";
    QTest::newRow("whole fraction") << "2.0" << 0.0 << 0.0 << "2";
    QTest::newRow("above max") << "5000" << 1.0 << 1000.0 << "1000";
    QTest::newRow("normal already") << "640" << 1.0 << 1000.0 << "640";
    QTest::newRow("not a number") << "1.2.3" << 0.0 << 0.0 << "0";
    QTest::newRow("empty, with a range") << "" << 1.0 << 1000.0 << "1";
  }
  void LeavingNormalises() {
    QFETCH(QString, typed);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(QString, left);
    TFocusedField field;
    TNumberEdit& edit = *field.edit;
    QVERIFY(edit.hasFocus());
    edit.SetMin(min);
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
    QCOMPARE(edit.text(), left);
    QStringList expected;
    if (left != typed) expected << "Changed " + left;
    expected << "Exited " + left;
    QCOMPARE(events, expected);
  }

  void TypedCharacters_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("letters, spaces, exponent") << "."
                                               << "12a b.5e3"
                                               << "12.53";
    QTest::newRow("signs and separators anywhere") << "."
                                                   << "1+-..2-"
                                                   << "1+-..2-";
    QTest::newRow("other punctuation") << "."
                                       << "1/2*3=%4_"
                                       << "1234";
    QTest::newRow("comma separator") << ","
                                     << "1.5,2"
                                     << "15,2";
    QTest::newRow("non-ASCII") << "."
                               << "\u00BD9\u00E9"
                               << "9";
  }
  void TypedCharacters() {
    QFETCH(QString, separator);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QLocale::setDefault(LocaleWith(separator));
    TNumberEdit edit;
    edit.clear();
    TypeCharacters(&edit, typed);
    QCOMPARE(edit.text(), kept);
  }

  void EditingKeysStillWork() {
    TNumberEdit edit;
    edit.clear();
    TypeCharacters(&edit, "123");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), "12");
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_5);
    QCOMPARE(edit.text(), "152");
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.text(), "15");
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), "15");
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(edit.text(), "");
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.text(), "15");

    // DEL as a character is dropped; pasted text is not filtered.
    QKeyEvent del(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x7F)));
    QApplication::sendEvent(&edit, &del);
    QCOMPARE(edit.text(), "15");
    QApplication::clipboard()->setText("ab");
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), "15ab");
    QCOMPARE(edit.Value(), 0.0);
  }

  void EnterPressesTheDefaultButtonButStaysOutOfTheField() {
    QDialog dialog;
    auto* edit = new TNumberEdit(&dialog);
    auto* button = new QPushButton("Refresh!", &dialog);
    button->move(0, 40);
    button->setDefault(true);
    QVERIFY(ShowActive(dialog));
    edit->setFocus();
    TypeCharacters(edit, "64");
    const QSignalSpy clicks(button, &QPushButton::clicked);
    const QSignalSpy changes(edit, &TNumberEdit::Changed);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(edit->text(), "064");
    QVERIFY(edit->hasFocus());
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::TNumberEditTest)
#include "NumberEditTest.moc"
