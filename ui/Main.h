// The main window: the parameters in their controls, the command buttons, the map view and the
// status line; every user action leads to a render, a preset file, a picture file or the About
// box.
#pragma once

#include <QWidget>
#include <memory>

#include "parameters/MapParameters.h"
#include "synthesis/parallel/WorkerTeam.h"
#include "ui/Dialogs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;

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
  void LoadPreset(const QString& FileName);
  void SavePreset(const QString& FileName);

  // The parameters as the controls hold them now.
  TMapParameters Parameters() const;

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
  QLabel* pStatus;

 signals:
  // After every render that completed, with the new picture shown.
  void Rendered();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildPanel();
  void BuildParametersPage();
  void BuildStylePage();
  void SetTabOrder();
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

  void FormCreate();
  void FormShow();
  void RefreshClick();
  void EditChange();
  void btnNewRandSeedClick();
  void btnBrowseTownDBClick();
  void ShapeMouseDown(TColorSwatch* Sender);
  void SavePictureClick();
  void LoadPresetClick();
  void SavePresetClick();
  void AboutClick();
  void ExitClick();

  std::unique_ptr<TDialogs> dialogs_;
  bool centred_ = false;
  // Renders share it for the window's life; its helpers sleep while the window waits.
  TWorkerTeam team_{AvailableProcessors(), ShortTeamSpin};
};

// The program's one main window, while it exists.
extern TfrmMain* frmMain;

}  // namespace hillograph
