// The application object with the program's one top-level error handler: an exception that leaves
// any event handler shows its message, and the event loop carries on. Handlers run inside
// HandleEvent; notify catches whatever escapes elsewhere.
#pragma once

#include <QApplication>
#include <functional>

namespace hillograph {

class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Where error messages go: a message box unless a test routes them elsewhere.
  std::function<void(const QString& Message)> ShowError;
};

// The top-level error handler: runs an event handler; an exception that leaves it shows its
// message through the application's ShowError, and the program carries on.
void HandleEvent(const std::function<void()>& Handler);

inline const QString ProgramTitle = QStringLiteral("Brackmoor Hillograph");

}  // namespace hillograph
