#include "ui/Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>

#include "ui/ColorSwatch.h"

namespace hillograph {
namespace {

// Shows a file dialog that opens with the name chosen last and remembers the new choice.
std::optional<QString> RunFileDialog(QWidget* owner, QString& lastName, const QString& filter,
                                     QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode,
                                     QFileDialog::Options options) {
  QFileDialog dialog(owner);
  dialog.setNameFilter(filter);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(fileMode);
  dialog.setOptions(options);
  if (!lastName.isEmpty()) dialog.selectFile(lastName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  lastName = dialog.selectedFiles().constFirst();
  return lastName;
}

}  // namespace

std::optional<QString> TQtDialogs::SavePicture() {
  return RunFileDialog(owner_, spdFileName_, PictureFilter, QFileDialog::AcceptSave,
                       QFileDialog::AnyFile, QFileDialog::DontConfirmOverwrite);
}

std::optional<QString> TQtDialogs::OpenPreset() {
  return RunFileDialog(owner_, odFileName_, PresetFilter, QFileDialog::AcceptOpen,
                       QFileDialog::ExistingFile, {});
}

std::optional<QString> TQtDialogs::SavePreset() {
  return RunFileDialog(owner_, sdFileName_, PresetFilter, QFileDialog::AcceptSave,
                       QFileDialog::AnyFile, {});
}

std::optional<QString> TQtDialogs::OpenTownDB() {
  return RunFileDialog(owner_, odTextFileName_, TextFilter, QFileDialog::AcceptOpen,
                       QFileDialog::ExistingFile, {});
}

std::optional<TColor> TQtDialogs::ChooseColor(TColor Initial) {
  const QColor color = QColorDialog::getColor(ToQColor(Initial), owner_);
  if (!color.isValid()) return std::nullopt;
  return FromQColor(color);
}

}  // namespace hillograph
