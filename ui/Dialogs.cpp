#include "ui/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "parameters/AddDefaultExt.h"
#include "synthesis/files/PictureFile.h"
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

  // The file type chosen sets the extension added and what the name is checked for.
  void SetType(const QString& defaultExt, std::optional<TSaveKind> kind) {
    defaultExt_ = defaultExt;
    kind_ = kind;
  }
  const QString& Accepted() const { return accepted_; }

  void accept() override {
    const QStringList files = selectedFiles();
    // A folder typed or picked opens it, as it always does.
    if (files.isEmpty() || QFileInfo(files.constFirst()).isDir()) {
      QFileDialog::accept();
      return;
    }
    const auto name = AcceptSaveName(files.constFirst(), defaultExt_, questions_, kind_);
    if (!name) return;
    accepted_ = *name;
    QDialog::accept();
  }

 private:
  QString defaultExt_;
  std::optional<TSaveKind> kind_;
  TSaveQuestions& questions_;
  QString accepted_;
};

// Shows a file dialog that opens with the name chosen last and remembers the new choice.
std::optional<QString> RunFileDialog(QFileDialog& dialog, QString& lastName,
                                     const QStringList& filters) {
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
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

std::optional<QString> RunSaveDialog(TSaveFileDialog& dialog, QString& lastName,
                                     const QStringList& filters) {
  if (!RunFileDialog(dialog, lastName, filters)) return std::nullopt;
  lastName = dialog.Accepted();
  return lastName;
}

}  // namespace

const std::vector<TSaveType> PictureSaveTypes = {
    {QStringLiteral("Bitmap files (*.bmp)"), QStringLiteral(".bmp"), TSaveKind::Picture},
    {QStringLiteral("PNG images (*.png)"), QStringLiteral(".png"), TSaveKind::Picture},
    {QStringLiteral("SVG drawing (*.svg)"), QStringLiteral(".svg"), TSaveKind::Picture},
    {QStringLiteral("16-bit heightmap, PNG (*.png)"), QStringLiteral(".png"), TSaveKind::Heightmap},
    {QStringLiteral("16-bit heightmap, raw samples (*.r16 *.raw)"), QStringLiteral(".r16"),
     TSaveKind::Heightmap},
    {QStringLiteral("16-bit heightmap, PGM (*.pgm)"), QStringLiteral(".pgm"), TSaveKind::Heightmap},
    {QStringLiteral("Towns, JSON (*.json)"), QStringLiteral(".json"), TSaveKind::TownsJson},
    {QStringLiteral("Smooth 16-bit heightmap, PNG (*.png)"), QStringLiteral(".png"),
     TSaveKind::SmoothHeightmap},
    {QStringLiteral("Smooth 16-bit heightmap, raw samples (*.r16 *.raw)"), QStringLiteral(".r16"),
     TSaveKind::SmoothHeightmap},
    {QStringLiteral("Smooth 16-bit heightmap, PGM (*.pgm)"), QStringLiteral(".pgm"),
     TSaveKind::SmoothHeightmap},
};

std::optional<QString> AcceptSaveName(const QString& Typed, const QString& DefaultExt,
                                      TSaveQuestions& Questions, std::optional<TSaveKind> Kind) {
  const std::string encoded = AddDefaultExt(QFile::encodeName(Typed).toStdString(),
                                            QFile::encodeName(DefaultExt).toStdString());
  const QString name = QFile::decodeName(encoded.c_str());
  std::optional<std::string> refusal;
  if (Kind == TSaveKind::Picture) refusal = PictureNameRefusal(encoded);
  if ((Kind == TSaveKind::Heightmap || Kind == TSaveKind::SmoothHeightmap) &&
      !HeightmapFormatOf(encoded)) {
    refusal = "Cannot write a heightmap named \"" + encoded +
              "\": its name must end in .png, .r16, .raw or .pgm.";
  }
  if (refusal) {
    Questions.RefuseName(QFile::decodeName(refusal->c_str()));
    return std::nullopt;
  }
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

std::optional<TSaveChoice> TQtDialogs::SavePicture() {
  QStringList filters;
  for (const TSaveType& type : PictureSaveTypes)
    filters << type.Filter;
  TSaveFileDialog dialog(owner_, {}, *this);
  const auto choose = [&](const QString& filter) {
    pictureType_ = std::max<int>(0, static_cast<int>(filters.indexOf(filter)));
    const TSaveType& type = PictureSaveTypes[static_cast<std::size_t>(pictureType_)];
    dialog.SetType(type.DefaultExt, type.Kind);
  };
  QObject::connect(&dialog, &QFileDialog::filterSelected, choose);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters[pictureType_]);
  choose(filters[pictureType_]);
  if (!RunSaveDialog(dialog, LastNames[PictureDialog], {})) return std::nullopt;
  return TSaveChoice{LastNames[PictureDialog],
                     PictureSaveTypes[static_cast<std::size_t>(pictureType_)].Kind};
}

std::optional<QString> TQtDialogs::OpenPreset() {
  return RunOpenDialog(owner_, LastNames[PresetOpenDialog], PresetFilters);
}

std::optional<QString> TQtDialogs::SavePreset() {
  TSaveFileDialog dialog(owner_, PresetExt, *this);
  return RunSaveDialog(dialog, LastNames[PresetSaveDialog], PresetFilters);
}

std::optional<QString> TQtDialogs::OpenTownDB() {
  return RunOpenDialog(owner_, LastNames[TownDBDialog], TextFilters);
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
