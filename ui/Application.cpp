#include "ui/Application.h"

#include <QFile>
#include <QMessageBox>
#include <exception>

namespace hillograph {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  ShowError = [](const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), ProgramTitle, message);
  };
}

namespace {

void ShowErrorMessage(const QString& message) {
  if (auto* application = qobject_cast<TApplication*>(QCoreApplication::instance())) {
    application->ShowError(message);
  } else {
    QMessageBox::critical(QApplication::activeWindow(), ProgramTitle, message);
  }
}

}  // namespace

void HandleEvent(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::exception& e) {
    // File names in messages are in the file system's encoding, as the window passed them on.
    ShowErrorMessage(QFile::decodeName(e.what()));
  } catch (...) {
    ShowErrorMessage(QStringLiteral("Unknown error"));
  }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  HandleEvent([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace hillograph
