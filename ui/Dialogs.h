// The main window's dialogs behind one seam, so that tests can answer them without a modal
// dialog. Each dialog remembers the name chosen in it last and opens with it.
#pragma once

#include <QString>
#include <optional>

#include "synthesis/base/Color.h"

class QWidget;

namespace hillograph {

class TDialogs {
 public:
  virtual ~TDialogs() = default;

  // spd: where to save the picture; no overwrite prompt, no default extension.
  virtual std::optional<QString> SavePicture() = 0;
  // od: an existing preset file to load.
  virtual std::optional<QString> OpenPreset() = 0;
  // sd: where to save a preset; asks before replacing a file.
  virtual std::optional<QString> SavePreset() = 0;
  // odText: an existing town database file.
  virtual std::optional<QString> OpenTownDB() = 0;
  // cd: a colour, starting from Initial.
  virtual std::optional<TColor> ChooseColor(TColor Initial) = 0;
};

// The real, modal dialogs.
class TQtDialogs : public TDialogs {
 public:
  explicit TQtDialogs(QWidget* Owner) : owner_(Owner) {}

  std::optional<QString> SavePicture() override;
  std::optional<QString> OpenPreset() override;
  std::optional<QString> SavePreset() override;
  std::optional<QString> OpenTownDB() override;
  std::optional<TColor> ChooseColor(TColor Initial) override;

 private:
  QWidget* owner_;
  QString spdFileName_;
  QString odFileName_;
  QString sdFileName_;
  QString odTextFileName_;
};

inline const QString PictureFilter = QStringLiteral("Bitmaps (*.bmp)");
inline const QString PresetFilter = QStringLiteral("Hillograph presets (*.hpf)");
inline const QString TextFilter = QStringLiteral("Text files (*.txt)");

}  // namespace hillograph
