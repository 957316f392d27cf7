#include "ui/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "parameters/AddDefaultExt.h"
#include "ui/ColorSwatch.h"

#include <utility>

namespace hillograph {
namespace {

// A save dialog that checks the file that will really be written, extension added, and stays
// open while that name cannot be used. Qt's own dialog is used: a native one closes before it
// could be kept open.
class TSaveFileDialog : public QFileDialog {
 public:
  TSaveFileDialog(QWidget* owner, QString defaultExt, TSaveQuestions& questions)
      : QFileDialog(owner), defaultExt_(std::move(defaultExt)), questions_(questions) {
    setAcceptMode(AcceptSave);
    setFileMode(AnyFile);
    setOptions(DontConfirmOverwrite | DontUseNativeDialog);
  }

  const QString& Accepted() const { return accepted_; }

  void accept() override {
    const QStringList files = selectedFiles();
    // A folder typed or picked opens it, as it always does.
    if (files.isEmpty() || QFileInfo(files.constFirst()).isDir()) {
      QFileDialog::accept();
      return;
    }
    const auto name = AcceptSaveName(files.constFirst(), defaultExt_, questions_);
    if (!name) return;
    accepted_ = *name;
    QDialog::accept();
  }

 private:
  QString defaultExt_;
  TSaveQuestions& questions_;
  QString accepted_;
};

// Shows a file dialog that opens with the name chosen last and remembers the new choice.
std::optional<QString> RunFileDialog(QFileDialog& dialog, QString& lastName,
                                     const QStringList& filters) {
  dialog.setNameFilters(filters);
  if (!lastName.isEmpty()) dialog.selectFile(lastName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  lastName = dialog.selectedFiles().constFirst();
  return lastName;
}

std::optional<QString> RunOpenDialog(QWidget* owner, QString& lastName,
                                     const QStringList& filters) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return RunFileDialog(dialog, lastName, filters);
}

std::optional<QString> RunSaveDialog(QWidget* owner, QString& lastName, const QStringList& filters,
                                     const QString& defaultExt, TSaveQuestions& questions) {
  TSaveFileDialog dialog(owner, defaultExt, questions);
  if (!RunFileDialog(dialog, lastName, filters)) return std::nullopt;
  lastName = dialog.Accepted();
  return lastName;
}

}  // namespace

std::optional<QString> AcceptSaveName(const QString& Typed, const QString& DefaultExt,
                                      TSaveQuestions& Questions) {
  const QString name = QFile::decodeName(AddDefaultExt(QFile::encodeName(Typed).toStdString(),
                                                       QFile::encodeName(DefaultExt).toStdString())
                                             .c_str());
  const QFileInfo file(name);
  if (!QFileInfo(file.absolutePath()).isDir()) {
    Questions.RefuseName(
        QStringLiteral("The folder \"%1\" does not exist.\nCheck the name and try again.")
            .arg(QDir::toNativeSeparators(file.absolutePath())));
    return std::nullopt;
  }
  if (file.exists() && !Questions.ConfirmReplace(name)) return std::nullopt;
  return name;
}

std::optional<QString> TQtDialogs::SavePicture() {
  return RunSaveDialog(owner_, spdFileName_, PictureFilters, PictureExt, *this);
}

std::optional<QString> TQtDialogs::OpenPreset() {
  return RunOpenDialog(owner_, odFileName_, PresetFilters);
}

std::optional<QString> TQtDialogs::SavePreset() {
  return RunSaveDialog(owner_, sdFileName_, PresetFilters, PresetExt, *this);
}

std::optional<QString> TQtDialogs::OpenTownDB() {
  return RunOpenDialog(owner_, odTextFileName_, TextFilters);
}

std::optional<TColor> TQtDialogs::ChooseColor(TColor Initial) {
  const QColor color = QColorDialog::getColor(ToQColor(Initial), owner_);
  if (!color.isValid()) return std::nullopt;
  return FromQColor(color);
}

bool TQtDialogs::ConfirmReplace(const QString& FileName) {
  const QString question = QStringLiteral("%1 already exists.\nDo you want to replace it?")
                               .arg(QFileInfo(FileName).fileName());
  return QMessageBox::warning(QApplication::activeModalWidget(), owner_->windowTitle(), question,
                              QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) == QMessageBox::Yes;
}

void TQtDialogs::RefuseName(const QString& Message) {
  QMessageBox::warning(QApplication::activeModalWidget(), owner_->windowTitle(), Message);
}

}  // namespace hillograph
