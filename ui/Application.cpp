#include "ui/Application.h"

#include <QMessageBox>
#include <exception>

namespace hillograph {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  ShowError = [](const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), ProgramTitle, message);
  };
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowError(QString::fromUtf8(e.what()));
  } catch (...) {
    ShowError(QStringLiteral("Unknown error"));
  }
  return false;
}

}  // namespace hillograph
