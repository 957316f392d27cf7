// The main window: the parameters in their controls, the command buttons, the map view and the
// status line; every user action leads to a render, a preset file, a picture file or the About
// box.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "parameters/MapParameters.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "synthesis/raster/PngText.h"
#include "ui/Dialogs.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QSettings;
class QTabWidget;
class QUndoStack;

namespace hillograph {

class TAdjustLabel;
class TColorSwatch;
class TMapView;
class TNumberEdit;

class TfrmMain : public QWidget {
  Q_OBJECT

 public:
  // Dialogs default to the real, modal ones.
  explicit TfrmMain(std::unique_ptr<TDialogs> Dialogs = nullptr, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // Renders the map from the controls into iMap and shows it, with the busy pointer and
  // "Rendering..." meanwhile. RandSeed, the pointer and the status text are restored on every exit.
  void RenderMap();
  // Both name the file in the title and put it first among the recent presets. A load is one
  // step to undo.
  void LoadPreset(const QString& FileName);
  void SavePreset(const QString& FileName);
  // The start-up values in every control, as one step to undo, rendering once.
  void ResetToStartUpValues();

  // The parameters as the controls hold them now.
  TMapParameters Parameters() const;

  // Restores the values, the geometry, the dialogs' last files and the recent presets kept in
  // Settings, and keeps them there again when the window closes. A remembered file that has gone
  // is dropped with a word in the status line. Without this call the window neither reads nor
  // keeps anything.
  void RememberIn(std::unique_ptr<QSettings> Settings);
  void KeepSettings();
  // Most recent first, at most MaxRecentPresets.
  const QStringList& RecentPresets() const { return recentPresets_; }

  // The controls, public so that tests and benchmarks can reach them as a user does.
  QWidget* ControlPanel;
  QTabWidget* Pages;
  QWidget* ParametersPage;
  QWidget* StylePage;
  QCheckBox* cbAutoRefresh;
  QPushButton* RefreshButton;
  QPushButton* ExitButton;
  QPushButton* SavePictureButton;
  QPushButton* AboutButton;
  QPushButton* SavePresetButton;
  QPushButton* LoadPresetButton;
  TNumberEdit* neWidth;
  TNumberEdit* neHeight;
  TNumberEdit* neRandSeed;
  QPushButton* btnNewRandSeed;
  TNumberEdit* neDiversity;
  TNumberEdit* neWaterAmount;
  TNumberEdit* neTownAmount;
  QLineEdit* eTownDB;
  QPushButton* btnBrowseTownDB;
  TAdjustLabel* TownsLabel;
  TAdjustLabel* WaterLabel;
  TAdjustLabel* DiversityLabel;
  TAdjustLabel* GridSizeLabel;
  TAdjustLabel* ShadowsLabel;
  TColorSwatch* sLandBorder;
  TColorSwatch* sMapFrame;
  TColorSwatch* sGrid;
  TColorSwatch* sSeaMin;
  TColorSwatch* sSeaMax;
  TColorSwatch* sPlain;
  TColorSwatch* sHill;
  TColorSwatch* sMountain;
  TNumberEdit* neGridSize;
  TNumberEdit* neShadows;
  QScrollArea* MapArea;
  TMapView* iMap;
  QWidget* StatusBar;
  QLabel* pStatus;  // messages
  QLabel* ZoomLabel;
  QLabel* SizeLabel;
  QLabel* RenderTimeLabel;
  QUndoStack* UndoStack;
  QAction* UndoAction;
  QAction* RedoAction;
  QAction* ResetAction;
  QMenu* RecentMenu;

 signals:
  // After every render that completed, with the new picture shown.
  void Rendered();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class TParametersStep;

  void BuildPanel();
  void BuildParametersPage();
  void BuildStylePage();
  void BuildStatusBar();
  void AddActions();
  void SetTabOrder();
  // Large enough for the map at its start-up size, within the screen's available area.
  QSize OpeningSize() const;
  // F5, Ctrl+O, Ctrl+S, Ctrl+Shift+S press their buttons; Ctrl+C copies the picture and
  // Ctrl+Shift+C the map's link; Ctrl+0 fits the map into the view and Ctrl+1 shows it one pixel
  // per pixel.
  void AddShortcuts();
  void CopyPicture();
  void CopyLink();
  TNumberEdit* NumberField(double TMapParameters::*Value) const;
  TColorSwatch* Swatch(TColor TMapParameters::*Value) const;
  TNumberEdit* MakeNumberEdit(QWidget* page, const char* name, QRect bounds, TNumberRange range,
                              double value);
  TAdjustLabel* MakeAdjustLabel(QWidget* page, const char* name, const QString& caption, QPoint at,
                                TNumberEdit* attached);

  // Sets every control from P without a render in between; renders once at the end when
  // automatic refresh is ticked then. WithAutoRefresh: the box is set from P too; AsStep: the
  // change is one step to undo.
  void ShowParameters(const TMapParameters& P, bool WithAutoRefresh, bool AsStep);
  // After a change of the controls: one step to undo, merged into the open step of the same field.
  void RecordStep();
  // The next change starts a step of its own.
  void CloseStep() { openField_ = NoField; }
  void ShowStale();
  void ShowMessage(const QString& Message);
  void SetPresetFile(const QString& FileName);
  void AddRecentPreset(const QString& FileName);
  void ShowRecentMenu();
  void DropGoneFiles();

  void FormCreate();
  void FormShow();
  void RefreshClick();
  void EditChange();
  void btnNewRandSeedClick();
  void btnBrowseTownDBClick();
  void ShapeMouseDown(TColorSwatch* Sender);
  // The texts a PNG of the map shown carries, so that it can be made again.
  std::vector<TPngText> Recipe(bool SmoothHeightmap = false) const;
  // The picture shown, or for a drawing the map rendered once more with its layers.
  void SavePicture(const std::string& FileName);
  void SavePictureClick();
  void LoadPresetClick();
  void SavePresetClick();
  void AboutClick();
  void ExitClick();

  static constexpr int NoField = -1;

  std::unique_ptr<TDialogs> dialogs_;
  std::unique_ptr<QSettings> settings_;
  bool placed_ = false;
  TMapParameters committed_;  // as the last step to undo left them
  bool recording_ = true;
  int openField_ = NoField;
  std::optional<TMapParameters> shown_;  // what the map on screen was rendered from
  QString presetFile_;
  QString notice_;  // for the status line, after the next render
  QStringList recentPresets_;
  // Renders share it for the window's life; its helpers sleep while the window waits.
  TWorkerTeam team_{AvailableProcessors(), ShortTeamSpin};
};

inline constexpr int MaxRecentPresets = 8;

// The program's one main window, while it exists.
extern TfrmMain* frmMain;

}  // namespace hillograph
