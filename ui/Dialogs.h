// The main window's dialogs behind one seam, so that tests can answer them without a modal
// dialog. Each dialog remembers the name chosen in it last and opens with it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "synthesis/base/Color.h"

class QWidget;

namespace hillograph {

class TDialogs {
 public:
  virtual ~TDialogs() = default;

  // spd: where to save the picture, the name as AcceptSaveName gives it with ".bmp".
  virtual std::optional<QString> SavePicture() = 0;
  // od: an existing preset file to load.
  virtual std::optional<QString> OpenPreset() = 0;
  // sd: where to save a preset, the name as AcceptSaveName gives it with ".hpf".
  virtual std::optional<QString> SavePreset() = 0;
  // odText: an existing town database file.
  virtual std::optional<QString> OpenTownDB() = 0;
  // cd: a colour, starting from Initial.
  virtual std::optional<TColor> ChooseColor(TColor Initial) = 0;
};

// What a save dialog asks or tells while it stays open.
class TSaveQuestions {
 public:
  virtual ~TSaveQuestions() = default;
  // Whether the existing file may be replaced: true for "Yes".
  virtual bool ConfirmReplace(const QString& FileName) = 0;
  virtual void RefuseName(const QString& Message) = 0;
};

// What "Save" in a save dialog does with the name typed: the file that will be written, which is
// Typed with DefaultExt added when its last component has no dot. Nothing, and the dialog stays
// open for another name, when that file's folder does not exist or the file exists and the user
// does not want it replaced.
std::optional<QString> AcceptSaveName(const QString& Typed, const QString& DefaultExt,
                                      TSaveQuestions& Questions);

// The real, modal dialogs.
class TQtDialogs : public TDialogs, public TSaveQuestions {
 public:
  explicit TQtDialogs(QWidget* Owner) : owner_(Owner) {}

  std::optional<QString> SavePicture() override;
  std::optional<QString> OpenPreset() override;
  std::optional<QString> SavePreset() override;
  std::optional<QString> OpenTownDB() override;
  std::optional<TColor> ChooseColor(TColor Initial) override;

  bool ConfirmReplace(const QString& FileName) override;
  void RefuseName(const QString& Message) override;

 private:
  QWidget* owner_;
  QString spdFileName_;
  QString odFileName_;
  QString sdFileName_;
  QString odTextFileName_;
};

inline const QStringList PictureFilters = {QStringLiteral("Bitmap files (*.bmp)"),
                                           QStringLiteral("PNG images (*.png)"),
                                           QStringLiteral("SVG drawing (*.svg)")};
inline const QString AllFilesFilter = QStringLiteral("All files (*)");
inline const QStringList PresetFilters = {QStringLiteral("Hillograph presets (*.hpf)"),
                                          AllFilesFilter};
inline const QStringList TextFilters = {QStringLiteral("Text files (*.txt)"), AllFilesFilter};
inline const QString PictureExt = QStringLiteral(".bmp");
inline const QString PresetExt = QStringLiteral(".hpf");

}  // namespace hillograph
