#include "ui/NumberEdit.h"

#include <QLocale>
#include <QTest>

#include "tests/ui/WidgetInput.h"

namespace hillograph {

class TNumberEditTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void RangeHoldsOnlyWhenMinIsBelowMax() {
    const struct {
      double min, max, written;
      const char* text;
    } cases[] = {{5, 1, -3, "-3"}, {2, 2, 9, "9"}, {1, 1000, 5000, "1000"}, {1, 1000, -7, "1"}};
    for (const auto& c : cases) {
      TNumberEdit edit;
      edit.setText(QString::number(c.written));
      edit.SetMin(c.min);
      edit.SetMax(c.max);
      QCOMPARE(edit.text(), QString::number(c.written));  // a new range leaves the text alone
      QCOMPARE(edit.Value(), QString(c.text).toDouble());
      edit.SetValue(c.written);
      QCOMPARE(edit.text(), c.text);
    }
  }

  void KeysTypedAndTheFocusLeaving() {
    const struct {
      bool comma;  // the decimal separator of the user's locale
      QString typed;
      double max;  // with Min 1 when not 0
      QString kept, left;
    } cases[] = {
        {false, "5000", 1000, "5000", "1000"},
        {false, "640", 1000, "640", "640"},  // unchanged: no Changed
        {false, "12a b.5e3", 0, "12.53", "12.53"},
        {false, "1+-..2-", 0, "1+-..2-", "0"},  // signs and separators anywhere, more than once
        {false, "1/2*3=%4_\u00BD\u00E9", 0, "1234", "1234"},
        {true, "1.5,2", 0, "15,2", "15,2"},
    };
    for (const auto& c : cases) {
      if (c.comma) QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
      QWidget window;  // the field has the focus, Tab moves it to the next
      TNumberEdit& edit = *new TNumberEdit(&window);
      const TNumberEdit* next = new TNumberEdit(&window);
      QVERIFY(ShowActive(window));
      edit.setFocus();
      edit.SetMin(c.max == 0 ? 0 : 1);
      edit.SetMax(c.max);
      edit.clear();
      TypeCharacters(&edit, c.typed);
      QCOMPARE(edit.text(), c.kept);  // as typed while the field has the focus
      QStringList events;
      connect(&edit, &TNumberEdit::Changed, this, [&] { events << "Changed " + edit.text(); });
      connect(&edit, &TNumberEdit::Exited, this, [&] { events << "Exited " + edit.text(); });
      QTest::keyClick(&edit, Qt::Key_Tab);
      QVERIFY(next->hasFocus());
      QStringList expected{"Exited " + c.left};
      if (c.left != c.kept) expected.prepend("Changed " + c.left);
      QCOMPARE(events, expected);
    }
  }

  void EditingKeysStillWork() {
    const QChar deleteCharacter(0x7F);  // Delete as the X11 keyboard delivers it
    TNumberEdit edit;
    TypeCharacters(&edit, "23");  // after the 0 a new field shows
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_Delete, QString(deleteCharacter),
                        Qt::NoModifier);
    QCOMPARE(edit.text(), "2");
    QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit.text(), "02");
    QKeyEvent del(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(deleteCharacter));
    QApplication::sendEvent(&edit, &del);
    QCOMPARE(edit.text(), "02");
  }
};

}  // namespace hillograph

QTEST_MAIN(hillograph::TNumberEditTest)
#include "NumberEditTest.moc"
