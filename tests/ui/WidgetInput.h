// Input for widget tests, delivered the way the window system delivers it.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace hillograph {

// Shows a top-level widget and makes it the active window, so that it can hold the focus.
inline bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

// Types each character as a key press carrying it, as a keyboard layout would deliver it. Unlike
// QTest::keyClicks, it takes any character, not only those with an ASCII key code.
inline void TypeCharacters(QWidget* widget, const QString& characters) {
  for (const QChar c : characters)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                        Qt::NoModifier);
}

// Presses, moves and releases sent to the widget's window with the buttons held, so that Qt's
// own implicit grab decides which widget receives each of them. Positions are in the
// coordinates of the given widget and may lie outside it, or outside the window.
class TPointer {
 public:
  void Press(QWidget* widget, QPoint position, Qt::MouseButton button = Qt::LeftButton) {
    held |= button;
    Send(widget, position, button, QEvent::MouseButtonPress);
  }
  void Move(QWidget* widget, QPoint position) {
    Send(widget, position, Qt::NoButton, QEvent::MouseMove);
  }
  void Release(QWidget* widget, QPoint position, Qt::MouseButton button = Qt::LeftButton) {
    held &= ~Qt::MouseButtons(button);
    Send(widget, position, button, QEvent::MouseButtonRelease);
  }

 private:
  void Send(QWidget* widget, QPoint position, Qt::MouseButton button, QEvent::Type type) {
    static int timestamp = 0;  // steps far enough apart never to make a double click
    QWidget* window = widget->window();
    qt_handleMouseEvent(window->windowHandle(), widget->mapTo(window, QPointF(position)),
                        widget->mapToGlobal(QPointF(position)), held, button, type, Qt::NoModifier,
                        timestamp += 1000);
    QCoreApplication::processEvents();
  }

  Qt::MouseButtons held;
};

// A wheel turn by the given angle, in eighths of a degree, at a point of the widget.
inline void Wheel(QWidget* widget, QPoint at, int angle, Qt::KeyboardModifiers modifiers = {}) {
  QWheelEvent event(at, widget->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, angle), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

}  // namespace hillograph
