// The main window's dialogs behind one seam, so that tests can answer them without a modal
// dialog. Each dialog remembers the name chosen in it last and opens with it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "synthesis/base/Color.h"

class QWidget;

namespace hillograph {

// What "Save picture..." writes: the picture, the 16-bit heightmap of the same render, or its
// towns as JSON. The dialog's file type chooses.
enum class TSaveKind { Picture, Heightmap, SmoothHeightmap, TownsJson };

struct TSaveChoice {
  QString Name;
  TSaveKind Kind = TSaveKind::Picture;
};

// The dialogs that remember a file, in LastNames.
enum TDialogIndex { PictureDialog, PresetOpenDialog, PresetSaveDialog, TownDBDialog, DialogCount };

class TDialogs {
 public:
  virtual ~TDialogs() = default;

  // spd: where to save the picture or its companions, the name as AcceptSaveName gives it.
  virtual std::optional<TSaveChoice> SavePicture() = 0;
  // od: an existing preset file to load.
  virtual std::optional<QString> OpenPreset() = 0;
  // sd: where to save a preset, the name as AcceptSaveName gives it with ".hpf".
  virtual std::optional<QString> SavePreset() = 0;
  // odText: an existing town database file.
  virtual std::optional<QString> OpenTownDB() = 0;
  // cd: a colour, starting from Initial.
  virtual std::optional<TColor> ChooseColor(TColor Initial) = 0;

  // The file chosen last in each dialog, which it opens with next time.
  QString LastNames[DialogCount];
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
// open for another name, when Kind cannot be written under that name (a picture named .jpg), when
// that file's folder does not exist, or when the file exists and the user does not want it
// replaced.
std::optional<QString> AcceptSaveName(const QString& Typed, const QString& DefaultExt,
                                      TSaveQuestions& Questions,
                                      std::optional<TSaveKind> Kind = std::nullopt);

// The save dialog's file types for pictures and their companions, each with the extension added to
// a name without one.
struct TSaveType {
  QString Filter;
  QString DefaultExt;
  TSaveKind Kind;
};
extern const std::vector<TSaveType> PictureSaveTypes;

// The real, modal dialogs.
class TQtDialogs : public TDialogs, public TSaveQuestions {
 public:
  explicit TQtDialogs(QWidget* Owner) : owner_(Owner) {}

  std::optional<TSaveChoice> SavePicture() override;
  std::optional<QString> OpenPreset() override;
  std::optional<QString> SavePreset() override;
  std::optional<QString> OpenTownDB() override;
  std::optional<TColor> ChooseColor(TColor Initial) override;

  bool ConfirmReplace(const QString& FileName) override;
  void RefuseName(const QString& Message) override;

 private:
  QWidget* owner_;
  int pictureType_ = 0;  // the file type chosen last in the picture dialog
};

inline const QString AllFilesFilter = QStringLiteral("All files (*)");
inline const QStringList PresetFilters = {QStringLiteral("Hillograph presets (*.hpf)"),
                                          AllFilesFilter};
inline const QStringList TextFilters = {QStringLiteral("Text files (*.txt)"), AllFilesFilter};
inline const QString PictureExt = QStringLiteral(".bmp");
inline const QString PresetExt = QStringLiteral(".hpf");

}  // namespace hillograph
