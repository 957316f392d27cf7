#include "ui/Main.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include "parameters/AddDefaultExt.h"
#include "parameters/LinkText.h"
#include "parameters/MissingFiles.h"
#include "parameters/NumberText.h"
#include "parameters/PictureRecipe.h"
#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "parameters/TownsJson.h"
#include "synthesis/base/Error.h"
#include "synthesis/files/PictureFile.h"
#include "synthesis/random/Random.h"
#include "ui/AboutBox.h"
#include "ui/AdjustControl.h"
#include "ui/Application.h"
#include "ui/ColorSwatch.h"
#include "ui/InterfaceFont.h"
#include "ui/MapView.h"
#include "ui/NumberEdit.h"

namespace hillograph {

TfrmMain* frmMain = nullptr;

namespace {

// A slot that runs an event handler under the program's one top-level error handler, so that no
// exception ever unwinds through the toolkit.
template <class THandler>
auto Handler(THandler handler) {
  return [handler] { HandleEvent(handler); };
}

constexpr QSize ClientSize(576, 379);
constexpr QColor WindowColor(0xE9, 0xE9, 0xE9);
constexpr int WindowFontPoints = 8;
constexpr int ControlPanelHeight = 177;
constexpr int StatusHeight = 26;
constexpr QRect PageControlBounds(8, 8, 561, 129);
constexpr int PageControlRightGap = 576 - 8 - 561;
constexpr QSize SwatchLabelSize(72, 13);
constexpr QSize SwatchSize(49, 20);
constexpr double AdjustIncrement = 1.0;
constexpr std::int32_t NewSeedRange = 2147483647;

// File names cross between Qt and the core in the file system's own encoding, both ways.
QString FromFileName(const std::string& name) {
  return QFile::decodeName(name.c_str());
}
std::string ToFileName(const QString& name) {
  return QFile::encodeName(name).toStdString();
}

// Whether two parameter sets give the same map: automatic refresh is no part of it.
bool SameMap(TMapParameters a, TMapParameters b) {
  a.AutoRefresh = b.AutoRefresh;
  return a == b;
}

// Restores the pointer and clears the status text however a render ends.
class TBusyGuard {
 public:
  explicit TBusyGuard(QLabel* status) : status_(status) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~TBusyGuard() {
    QApplication::restoreOverrideCursor();
    status_->setText(QString());
  }
  TBusyGuard(const TBusyGuard&) = delete;
  TBusyGuard& operator=(const TBusyGuard&) = delete;

 private:
  QLabel* status_;
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QPoint at) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->move(at);
  label->adjustSize();
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect bounds) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(bounds);
  return button;
}

}  // namespace

// One step to undo: the parameters before and after it. Steps of the same field merge while the
// field stays open (typing, a drag).
class TfrmMain::TParametersStep : public QUndoCommand {
 public:
  TParametersStep(TfrmMain* window, const TMapParameters& before, const TMapParameters& after,
                  int field, bool mergeable)
      : window_(window), before_(before), after_(after), field_(field), mergeable_(mergeable) {
    setText(QStringLiteral("change"));
  }

  int id() const override { return field_ == NoField ? -1 : StepId; }
  bool mergeWith(const QUndoCommand* other) override {
    const auto* step = static_cast<const TParametersStep*>(other);
    if (step->field_ != field_ || !step->mergeable_) return false;
    after_ = step->after_;
    return true;
  }
  void undo() override { Show(before_); }
  void redo() override {
    if (std::exchange(first_, false)) return;  // the controls show it already
    Show(after_);
  }

 private:
  static constexpr int StepId = 1;

  void Show(const TMapParameters& p) {
    window_->ShowParameters(p, false, false);
    window_->committed_ = window_->Parameters();
  }

  TfrmMain* window_;
  TMapParameters before_, after_;
  int field_;
  bool mergeable_;
  bool first_ = true;
};

TfrmMain::TfrmMain(std::unique_ptr<TDialogs> Dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(Dialogs ? std::move(Dialogs) : std::make_unique<TQtDialogs>(this)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(ProgramTitle);
  QPalette colors = palette();
  colors.setColor(QPalette::Window, WindowColor);
  setPalette(colors);
  setAutoFillBackground(true);
  setFont(InterfaceFont(WindowFontPoints));

  UndoStack = new QUndoStack(this);
  BuildPanel();
  MapArea = new QScrollArea(this);
  MapArea->setObjectName(QStringLiteral("MapArea"));
  MapArea->setWidgetResizable(false);
  MapArea->setAlignment(Qt::AlignCenter);  // a small map in the middle of a large area
  iMap = new TMapView;
  iMap->setObjectName(QStringLiteral("iMap"));
  MapArea->setWidget(iMap);
  connect(iMap, &TMapView::ScrollBy, this, [this](QPoint offset) {
    MapArea->horizontalScrollBar()->setValue(MapArea->horizontalScrollBar()->value() + offset.x());
    MapArea->verticalScrollBar()->setValue(MapArea->verticalScrollBar()->value() + offset.y());
  });
  BuildStatusBar();

  auto* bands = new QVBoxLayout(this);
  bands->setContentsMargins(0, 0, 0, 0);
  bands->setSpacing(0);
  bands->addWidget(ControlPanel);
  bands->addWidget(MapArea, 1);
  bands->addWidget(StatusBar);
  SetTabOrder();
  AddShortcuts();
  AddActions();
  resize(ClientSize);
  // Narrower or lower, buttons or the pages would be cut off.
  setMinimumSize(ClientSize);
  committed_ = Parameters();
  FormCreate();
}

void TfrmMain::BuildStatusBar() {
  StatusBar = new QWidget(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  StatusBar->setFixedHeight(StatusHeight);
  pStatus = new QLabel(StatusBar);
  pStatus->setObjectName(QStringLiteral("pStatus"));
  pStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  auto* fields = new QHBoxLayout(StatusBar);
  fields->setContentsMargins(4, 0, 4, 0);
  fields->addWidget(pStatus, 1);
  for (auto [label, name, tip] : {
           std::tuple{&RenderTimeLabel, "RenderTimeLabel", "How long the last render took"},
           std::tuple{&SizeLabel, "SizeLabel", "The map's size in pixels"},
           std::tuple{&ZoomLabel, "ZoomLabel",
                      "Map pixels per screen pixel (Ctrl+0 fits, Ctrl+1 one to one)"},
       }) {
    *label = new QLabel(StatusBar);
    (*label)->setObjectName(QString::fromLatin1(name));
    (*label)->setToolTip(QString::fromLatin1(tip));
    fields->addWidget(*label);
  }
  connect(iMap, &TMapView::ZoomChanged, ZoomLabel, [this](double zoom) {
    ZoomLabel->setText(QStringLiteral("%1 %").arg(qRound(zoom * 100)));
  });
  ZoomLabel->setText(QStringLiteral("100 %"));
}

TfrmMain::~TfrmMain() {
  // The controls outlive this part of the window: a field that loses the focus as it goes must
  // not reach it.
  for (QObject* child : findChildren<QObject*>())
    child->disconnect(this);
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::BuildPanel() {
  ControlPanel = new QWidget(this);
  ControlPanel->setObjectName(QStringLiteral("ControlPanel"));
  ControlPanel->setFixedHeight(ControlPanelHeight);
  Pages = new QTabWidget(ControlPanel);
  Pages->setObjectName(QStringLiteral("Pages"));
  Pages->setGeometry(PageControlBounds);
  ParametersPage = new QWidget;
  ParametersPage->setObjectName(QStringLiteral("ParametersPage"));
  StylePage = new QWidget;
  StylePage->setObjectName(QStringLiteral("StylePage"));
  Pages->addTab(ParametersPage, QStringLiteral("&Parameters"));
  Pages->addTab(StylePage, QStringLiteral("S&tyle"));
  BuildParametersPage();
  BuildStylePage();

  cbAutoRefresh = new QCheckBox(QStringLiteral("Automatic refresh"), ControlPanel);
  cbAutoRefresh->setObjectName(QStringLiteral("cbAutoRefresh"));
  cbAutoRefresh->setGeometry(8, 148, 105, 17);
  // A wider face than the layout's may need a few more pixels, up to the gap before "Refresh!".
  cbAutoRefresh->resize(std::clamp(cbAutoRefresh->sizeHint().width(), 105, 110), 17);
  cbAutoRefresh->setChecked(true);  // ticked before its handler is attached
  connect(cbAutoRefresh, &QCheckBox::toggled, this, Handler([this] { EditChange(); }));

  RefreshButton =
      MakeButton(ControlPanel, "RefreshButton", QStringLiteral("&Refresh!"), {120, 144, 65, 25});
  RefreshButton->setDefault(true);
  LoadPresetButton = MakeButton(ControlPanel, "LoadPresetButton", QStringLiteral("&Load preset..."),
                                {192, 144, 81, 25});
  SavePresetButton = MakeButton(ControlPanel, "SavePresetButton", QStringLiteral("&Save preset..."),
                                {280, 144, 81, 25});
  SavePictureButton = MakeButton(ControlPanel, "SavePictureButton", QStringLiteral("Save &BMP..."),
                                 {368, 144, 73, 25});
  AboutButton =
      MakeButton(ControlPanel, "AboutButton", QStringLiteral("&About..."), {448, 144, 57, 25});
  ExitButton = MakeButton(ControlPanel, "ExitButton", QStringLiteral("E&xit"), {512, 144, 57, 25});
  connect(RefreshButton, &QPushButton::clicked, this, Handler([this] { RefreshClick(); }));
  connect(LoadPresetButton, &QPushButton::clicked, this, Handler([this] { LoadPresetClick(); }));
  connect(SavePresetButton, &QPushButton::clicked, this, Handler([this] { SavePresetClick(); }));
  connect(SavePictureButton, &QPushButton::clicked, this, Handler([this] { SavePictureClick(); }));
  connect(AboutButton, &QPushButton::clicked, this, Handler([this] { AboutClick(); }));
  connect(ExitButton, &QPushButton::clicked, this, Handler([this] { ExitClick(); }));
}

TNumberEdit* TfrmMain::MakeNumberEdit(QWidget* page, const char* name, QRect bounds,
                                      TNumberRange range, double value) {
  auto* edit = new TNumberEdit(page);
  edit->setObjectName(QString::fromLatin1(name));
  // Leaving the field ends the step that its typing makes.
  connect(edit, &TNumberEdit::Exited, this, [this] { CloseStep(); });
  connect(edit, &TNumberEdit::NotANumber, this, &TfrmMain::ShowMessage);
  edit->setGeometry(bounds);
  // Text first, then the handler, then the range and the value, whose text is the same: building
  // the window fires no change.
  edit->setText(
      QString::fromStdString(FormatNumberText(value, LocaleDecimalSeparator().toStdString())));
  connect(edit, &TNumberEdit::Changed, this, Handler([this] { EditChange(); }));
  edit->SetMin(range.Min);
  edit->SetMax(range.Max);
  edit->SetValue(value);
  return edit;
}

TAdjustLabel* TfrmMain::MakeAdjustLabel(QWidget* page, const char* name, const QString& caption,
                                        QPoint at, TNumberEdit* attached) {
  auto* label = new TAdjustLabel(caption, page);
  label->setObjectName(QString::fromLatin1(name));
  label->move(at);
  label->adjustSize();
  label->SetIncrement(AdjustIncrement);
  label->SetAttachedEdit(attached);
  label->installEventFilter(this);  // each drag is a step of its own
  return label;
}

void TfrmMain::BuildParametersPage() {
  const TMapParameters start;
  MakeLabel(ParametersPage, "SizeCaption", QStringLiteral("Size:"), {8, 12});
  neWidth = MakeNumberEdit(ParametersPage, "neWidth", {48, 8, 49, 21}, WidthRange, start.Width);
  MakeLabel(ParametersPage, "TimesCaption", QStringLiteral("x"), {104, 12});
  neHeight =
      MakeNumberEdit(ParametersPage, "neHeight", {120, 8, 49, 21}, HeightRange, start.Height);
  MakeLabel(ParametersPage, "SeedCaption", QStringLiteral("Random seed:"), {184, 12});
  neRandSeed =
      MakeNumberEdit(ParametersPage, "neRandSeed", {280, 8, 81, 21}, RandSeedRange, start.RandSeed);
  btnNewRandSeed =
      MakeButton(ParametersPage, "btnNewRandSeed", QStringLiteral("?"), {360, 8, 25, 25});
  btnNewRandSeed->setToolTip(QStringLiteral("Click to generate a random seed"));
  connect(btnNewRandSeed, &QPushButton::clicked, this, Handler([this] { btnNewRandSeedClick(); }));

  neDiversity = MakeNumberEdit(ParametersPage, "neDiversity", {104, 40, 65, 21}, DiversityRange,
                               start.Diversity);
  DiversityLabel = MakeAdjustLabel(ParametersPage, "DiversityLabel",
                                   QStringLiteral("Diversity of relief:"), {8, 44}, neDiversity);
  neWaterAmount = MakeNumberEdit(ParametersPage, "neWaterAmount", {280, 40, 81, 21},
                                 WaterAmountRange, start.WaterAmount);
  WaterLabel = MakeAdjustLabel(ParametersPage, "WaterLabel", QStringLiteral("Amount of water:"),
                               {184, 44}, neWaterAmount);
  neTownAmount = MakeNumberEdit(ParametersPage, "neTownAmount", {104, 72, 65, 21}, TownAmountRange,
                                start.TownAmount);
  TownsLabel = MakeAdjustLabel(ParametersPage, "TownsLabel", QStringLiteral("Amount of towns:"),
                               {8, 76}, neTownAmount);
  MakeLabel(ParametersPage, "TownDBCaption", QStringLiteral("Town database:"), {184, 76});
  eTownDB = new QLineEdit(ParametersPage);
  eTownDB->setObjectName(QStringLiteral("eTownDB"));
  eTownDB->setGeometry(280, 72, 81, 21);
  // The field is narrow: the tooltip shows the whole name.
  connect(eTownDB, &QLineEdit::textChanged, eTownDB, [this](const QString& name) {
    eTownDB->setToolTip(name.isEmpty() ? QString() : QFileInfo(name).absoluteFilePath());
  });
  connect(eTownDB, &QLineEdit::textChanged, this, Handler([this] { EditChange(); }));
  btnBrowseTownDB =
      MakeButton(ParametersPage, "btnBrowseTownDB", QStringLiteral("..."), {360, 72, 25, 25});
  btnBrowseTownDB->setToolTip(QStringLiteral("Click to select a file as a source of town names"));
  connect(btnBrowseTownDB, &QPushButton::clicked, this,
          Handler([this] { btnBrowseTownDBClick(); }));
}

void TfrmMain::BuildStylePage() {
  struct TSwatchPlace {
    TColorSwatch* TfrmMain::*swatch;
    const char* name;
    const char* labelName;
    const char* caption;
    QPoint label;
    QPoint at;
    TColor color;
  };
  const TMapParameters start;
  const TSwatchPlace places[] = {
      {&TfrmMain::sLandBorder,
       "sLandBorder",
       "LandBorderCaption",
       "Land border:",
       {0, 8},
       {80, 6},
       start.LandBorder},
      {&TfrmMain::sMapFrame,
       "sMapFrame",
       "MapFrameCaption",
       "Map frame:",
       {0, 32},
       {80, 30},
       start.MapFrame},
      {&TfrmMain::sGrid, "sGrid", "GridCaption", "Grid:", {0, 56}, {80, 54}, start.Grid},
      {&TfrmMain::sSeaMin,
       "sSeaMin",
       "SeaMinCaption",
       "Sea min.:",
       {0, 80},
       {80, 78},
       start.SeaMin},
      {&TfrmMain::sSeaMax,
       "sSeaMax",
       "SeaMaxCaption",
       "Sea max.:",
       {120, 8},
       {200, 6},
       start.SeaMax},
      {&TfrmMain::sPlain, "sPlain", "PlainCaption", "Plain:", {120, 32}, {200, 30}, start.Plain},
      {&TfrmMain::sHill, "sHill", "HillCaption", "Hill:", {120, 56}, {200, 54}, start.Hill},
      {&TfrmMain::sMountain,
       "sMountain",
       "MountainCaption",
       "Mountain:",
       {120, 80},
       {200, 78},
       start.Mountain},
  };
  for (const TSwatchPlace& place : places) {
    QLabel* label =
        MakeLabel(StylePage, place.labelName, QString::fromLatin1(place.caption), place.label);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->resize(SwatchLabelSize);
    auto* swatch = new TColorSwatch(StylePage);
    swatch->setObjectName(QString::fromLatin1(place.name));
    swatch->setGeometry(QRect(place.at, SwatchSize));
    swatch->SetBrushColor(place.color);
    connect(swatch, &TColorSwatch::MouseDown, this,
            Handler([this, swatch] { ShapeMouseDown(swatch); }));
    connect(swatch, &TColorSwatch::Activated, this,
            Handler([this, swatch] { ShapeMouseDown(swatch); }));
    this->*place.swatch = swatch;
  }
  neGridSize =
      MakeNumberEdit(StylePage, "neGridSize", {320, 4, 49, 21}, GridSizeRange, start.GridSize);
  GridSizeLabel = MakeAdjustLabel(StylePage, "GridSizeLabel", QStringLiteral("Grid size:"),
                                  {264, 8}, neGridSize);
  neShadows =
      MakeNumberEdit(StylePage, "neShadows", {320, 28, 49, 21}, ShadowsRange, start.Shadows);
  ShadowsLabel =
      MakeAdjustLabel(StylePage, "ShadowsLabel", QStringLiteral("Shadows:"), {264, 32}, neShadows);
}

void TfrmMain::AddShortcuts() {
  const struct {
    QKeySequence keys;
    QPushButton* TfrmMain::*button;
  } presses[] = {
      {QKeySequence(Qt::Key_F5), &TfrmMain::RefreshButton},
      {QKeySequence(Qt::CTRL | Qt::Key_O), &TfrmMain::LoadPresetButton},
      {QKeySequence(Qt::CTRL | Qt::Key_S), &TfrmMain::SavePictureButton},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &TfrmMain::SavePresetButton},
  };
  for (const auto& press : presses) {
    QPushButton* button = this->*press.button;
    connect(new QShortcut(press.keys, this), &QShortcut::activated, button, &QPushButton::click);
  }
  // A text field with the focus keeps Ctrl+C for its own text.
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_C), this), &QShortcut::activated, this,
          Handler([this] { CopyPicture(); }));
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), this),
          &QShortcut::activated, this, [this] { CopyLink(); });
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), this), &QShortcut::activated, this,
          [this] { iMap->FitInto(MapArea->maximumViewportSize()); });
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_1), this), &QShortcut::activated, this,
          [this] { iMap->SetZoom(1.0); });
}

void TfrmMain::AddActions() {
  UndoAction = UndoStack->createUndoAction(this, QStringLiteral("&Undo"));
  UndoAction->setShortcuts(QKeySequence::Undo);
  RedoAction = UndoStack->createRedoAction(this, QStringLiteral("&Redo"));
  RedoAction->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  ResetAction = new QAction(QStringLiteral("Reset to &start-up values"), this);
  connect(ResetAction, &QAction::triggered, this, Handler([this] { ResetToStartUpValues(); }));
  RecentMenu = new QMenu(QStringLiteral("Recent &presets"), this);
  RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
  connect(RecentMenu, &QMenu::aboutToShow, this, [this] { ShowRecentMenu(); });
  // Undo and redo are the window's keys; a text field with the focus keeps them for its text.
  for (QAction* action : {UndoAction, RedoAction}) {
    connect(action, &QAction::triggered, this, [this] { CloseStep(); });
    addAction(action);
  }
  // Offered on the panel's context menu (right button, or the menu key over it).
  ControlPanel->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  ControlPanel->addActions(
      {UndoAction, RedoAction, separator, ResetAction, RecentMenu->menuAction()});
}

void TfrmMain::CopyPicture() {
  const TPicture& picture = iMap->Picture();
  if (picture.Width() == 0 || picture.Height() == 0) return;
  const QImage image(picture.Bits(), picture.Width(), picture.Height(),
                     static_cast<qsizetype>(picture.Stride()), QImage::Format_BGR888);
  QGuiApplication::clipboard()->setImage(image.copy());
}

void TfrmMain::CopyLink() {
  const TMapParameters params = Parameters();
  QGuiApplication::clipboard()->setText(QStringLiteral("#") +
                                        QString::fromStdString(WriteLinkText({params, 1})));
  // A link never names a file, so the town names come from the same file only on this machine.
  pStatus->setText(params.TownDB.empty()
                       ? QStringLiteral("Link copied.")
                       : QStringLiteral("Link copied; it makes this map only with the same town "
                                        "database."));
}

// In reading order: the pages, each row from the left; then the row of buttons; then the map.
void TfrmMain::SetTabOrder() {
  const QWidget* chain[] = {Pages,
                            neWidth,
                            neHeight,
                            neRandSeed,
                            btnNewRandSeed,
                            neDiversity,
                            neWaterAmount,
                            neTownAmount,
                            eTownDB,
                            btnBrowseTownDB,
                            sLandBorder,
                            sSeaMax,
                            neGridSize,
                            sMapFrame,
                            sPlain,
                            neShadows,
                            sGrid,
                            sHill,
                            sSeaMin,
                            sMountain,
                            cbAutoRefresh,
                            RefreshButton,
                            LoadPresetButton,
                            SavePresetButton,
                            SavePictureButton,
                            AboutButton,
                            ExitButton,
                            MapArea};
  for (std::size_t i = 1; i < std::size(chain); ++i) {
    QWidget::setTabOrder(const_cast<QWidget*>(chain[i - 1]), const_cast<QWidget*>(chain[i]));
  }
}

namespace {

// Which control holds which parameter.
template <class TValue, class TControl>
struct TControlOf {
  TValue TMapParameters::*Value;
  TControl* TfrmMain::*Control;
};
constexpr TControlOf<double, TNumberEdit> NumberControls[] = {
    {&TMapParameters::Width, &TfrmMain::neWidth},
    {&TMapParameters::Height, &TfrmMain::neHeight},
    {&TMapParameters::RandSeed, &TfrmMain::neRandSeed},
    {&TMapParameters::Diversity, &TfrmMain::neDiversity},
    {&TMapParameters::WaterAmount, &TfrmMain::neWaterAmount},
    {&TMapParameters::TownAmount, &TfrmMain::neTownAmount},
    {&TMapParameters::GridSize, &TfrmMain::neGridSize},
    {&TMapParameters::Shadows, &TfrmMain::neShadows},
};
constexpr TControlOf<TColor, TColorSwatch> ColorControls[] = {
    {&TMapParameters::LandBorder, &TfrmMain::sLandBorder},
    {&TMapParameters::MapFrame, &TfrmMain::sMapFrame},
    {&TMapParameters::Grid, &TfrmMain::sGrid},
    {&TMapParameters::SeaMin, &TfrmMain::sSeaMin},
    {&TMapParameters::SeaMax, &TfrmMain::sSeaMax},
    {&TMapParameters::Plain, &TfrmMain::sPlain},
    {&TMapParameters::Hill, &TfrmMain::sHill},
    {&TMapParameters::Mountain, &TfrmMain::sMountain},
};

template <class TValue, class TControl, std::size_t N>
TControl* ControlOf(const TfrmMain& form, const TControlOf<TValue, TControl> (&controls)[N],
                    TValue TMapParameters::*value) {
  for (const auto& control : controls) {
    if (control.Value == value) return form.*control.Control;
  }
  return nullptr;
}

}  // namespace

TNumberEdit* TfrmMain::NumberField(double TMapParameters::*Value) const {
  return ControlOf(*this, NumberControls, Value);
}

TColorSwatch* TfrmMain::Swatch(TColor TMapParameters::*Value) const {
  return ControlOf(*this, ColorControls, Value);
}

TMapParameters TfrmMain::Parameters() const {
  TMapParameters p;
  for (const auto& control : NumberControls)
    p.*control.Value = (this->*control.Control)->Value();
  for (const auto& control : ColorControls) {
    p.*control.Value = (this->*control.Control)->BrushColor();
  }
  p.TownDB = ToFileName(eTownDB->text());
  p.AutoRefresh = cbAutoRefresh->isChecked();
  return p;
}

void TfrmMain::RenderMap() {
  const TMapParameters p = Parameters();
  QElapsedTimer clock;
  {
    const TBusyGuard busy(pStatus);
    pStatus->setText(QStringLiteral("Rendering..."));
    pStatus->repaint();
    clock.start();
    // Into a picture of its own: a render that fails half way leaves the view with the picture
    // it shows.
    TPicture picture;
    RenderMapParameters(picture, p, nullptr, {.Team = &team_});
    iMap->SetPicture(std::move(picture));
  }
  RenderTimeLabel->setText(QStringLiteral("%1 ms").arg(clock.elapsed()));
  SizeLabel->setText(
      QStringLiteral("%1 × %2").arg(iMap->Picture().Width()).arg(iMap->Picture().Height()));
  // The core falls back to invented names without a word; the window says so.
  if (const auto missing = MissingTownDatabase(p)) {
    ShowMessage(FromFileName(*missing));
  } else if (!notice_.isEmpty()) {  // a word from before the render, which cleared the line
    ShowMessage(std::exchange(notice_, QString()));
  }
  shown_ = p;
  ShowStale();
  iMap->repaint();
  emit Rendered();
}

void TfrmMain::ShowParameters(const TMapParameters& P, bool WithAutoRefresh, bool AsStep) {
  const bool refresh = WithAutoRefresh ? P.AutoRefresh : cbAutoRefresh->isChecked();
  const bool recording = std::exchange(recording_, false);
  // Unticked first and set last, so that the controls render at most once, at the end; the
  // controls in between in the order of the preset's keys.
  cbAutoRefresh->setChecked(false);
  for (const TParameterKey& key : ParameterKeys) {
    switch (key.Kind) {
      case TKeyKind::Number:
        NumberField(key.Number)->SetValue(P.*key.Number);
        break;
      case TKeyKind::Text:
        eTownDB->setText(FromFileName(P.TownDB));
        break;
      case TKeyKind::Color:
        Swatch(key.Color)->SetBrushColor(P.*key.Color);
        break;
      case TKeyKind::Flag:
        break;
    }
  }
  cbAutoRefresh->setChecked(refresh);
  recording_ = recording;
  if (AsStep) {
    CloseStep();
    RecordStep();
    CloseStep();
  }
  ShowStale();
}

void TfrmMain::LoadPreset(const QString& FileName) {
  const std::string name = ToFileName(FileName);
  TMapParameters p;
  if (std::optional<TRecipe> recipe = ReadPictureRecipe(name)) {
    // A picture's recipe never names a file: what it could not give back goes to the status line.
    p = recipe->Map.Params;
    QStringList notes;
    for (const std::string& note : recipe->Notes)
      notes << QString::fromStdString(note);
    notice_ = notes.join(QLatin1Char(' '));
    ShowMessage(notice_);
  } else {
    p = ReadPreset(name);
  }
  ShowParameters(p, true, true);
  SetPresetFile(FileName);
}

void TfrmMain::SavePreset(const QString& FileName) {
  WritePreset(ToFileName(FileName), Parameters());
  SetPresetFile(FileName);
}

void TfrmMain::ResetToStartUpValues() {
  ShowParameters(TMapParameters{}, true, true);
  SetPresetFile(QString());
}

void TfrmMain::RecordStep() {
  const TMapParameters now = Parameters();
  if (!recording_ || SameMap(now, committed_)) return;
  // The field that changed alone, if only one did: its steps merge while it stays open.
  int field = NoField;
  int changed = 0;
  for (std::size_t i = 0; i < std::size(NumberControls); ++i) {
    if (now.*NumberControls[i].Value != committed_.*NumberControls[i].Value) {
      field = static_cast<int>(i);
      ++changed;
    }
  }
  if (now.TownDB != committed_.TownDB)
    field = static_cast<int>(std::size(NumberControls)), ++changed;
  if (changed != 1) field = NoField;
  UndoStack->push(new TParametersStep(this, committed_, now, field, field == openField_));
  committed_ = now;
  openField_ = field;
}

void TfrmMain::ShowStale() {
  const bool stale = shown_ && !SameMap(*shown_, Parameters());
  QFont font = RefreshButton->font();
  font.setBold(stale);
  RefreshButton->setFont(font);
  RefreshButton->setToolTip(stale ? QStringLiteral("The map is out of date: press to render it")
                                  : QString());
}

void TfrmMain::ShowMessage(const QString& Message) {
  pStatus->setText(Message);
}

void TfrmMain::SetPresetFile(const QString& FileName) {
  presetFile_ = FileName;
  setWindowTitle(FileName.isEmpty() ? ProgramTitle
                                    : QFileInfo(FileName).fileName() + " - " + ProgramTitle);
  if (!FileName.isEmpty()) AddRecentPreset(QFileInfo(FileName).absoluteFilePath());
}

void TfrmMain::AddRecentPreset(const QString& FileName) {
  recentPresets_.removeAll(FileName);
  recentPresets_.prepend(FileName);
  while (recentPresets_.size() > MaxRecentPresets)
    recentPresets_.removeLast();
}

void TfrmMain::ShowRecentMenu() {
  DropGoneFiles();
  RecentMenu->clear();
  for (const QString& file : recentPresets_) {
    connect(RecentMenu->addAction(QDir::toNativeSeparators(file)), &QAction::triggered, this,
            Handler([this, file] { LoadPreset(file); }));
  }
  RecentMenu->setEnabled(!recentPresets_.isEmpty());
}

void TfrmMain::DropGoneFiles() {
  QStringList gone;
  for (const QString& file : std::as_const(recentPresets_)) {
    if (!QFileInfo::exists(file)) gone << QFileInfo(file).fileName();
  }
  recentPresets_.removeIf([](const QString& file) { return !QFileInfo::exists(file); });
  for (QString& name : dialogs_->LastNames) {
    if (!name.isEmpty() && !QFileInfo(name).absoluteDir().exists()) {
      gone << QFileInfo(name).absolutePath();
      name.clear();
    }
  }
  if (!gone.isEmpty()) {
    notice_ = QStringLiteral("Gone since the last run, and forgotten: %1").arg(gone.join(", "));
    ShowMessage(notice_);
  }
}

void TfrmMain::RememberIn(std::unique_ptr<QSettings> Settings) {
  settings_ = std::move(Settings);
  QSettings& kept = *settings_;
  if (kept.contains(QStringLiteral("Window/Geometry"))) {
    placed_ = restoreGeometry(kept.value(QStringLiteral("Window/Geometry")).toByteArray());
  }
  for (int i = 0; i < DialogCount; ++i)
    dialogs_->LastNames[i] = kept.value(QStringLiteral("Files/Dialog%1").arg(i)).toString();
  recentPresets_ =
      kept.value(QStringLiteral("Files/RecentPresets")).toStringList().mid(0, MaxRecentPresets);
  if (kept.childGroups().contains(QStringLiteral("Parameters"))) {
    TMapParameters p = Parameters();
    kept.beginGroup(QStringLiteral("Parameters"));
    for (const TParameterKey& key : ParameterKeys) {
      const QString name =
          QString::fromLatin1(key.Name.data(), static_cast<qsizetype>(key.Name.size()));
      if (!kept.contains(name)) continue;
      const QVariant value = kept.value(name);
      switch (key.Kind) {
        case TKeyKind::Number:
          p.*key.Number = value.toDouble();
          break;
        case TKeyKind::Text:
          p.TownDB = ToFileName(value.toString());
          break;
        case TKeyKind::Color:
          p.*key.Color = static_cast<TColor>(value.toUInt()) & 0xFFFFFF;
          break;
        case TKeyKind::Flag:
          p.AutoRefresh = value.toBool();
          break;
      }
    }
    kept.endGroup();
    // The first render, when the window shows, is of these values.
    const QSignalBlocker noRender(cbAutoRefresh);
    ShowParameters(p, true, false);
    committed_ = Parameters();
  }
  DropGoneFiles();
}

void TfrmMain::KeepSettings() {
  if (!settings_) return;
  QSettings& kept = *settings_;
  kept.setValue(QStringLiteral("Window/Geometry"), saveGeometry());
  for (int i = 0; i < DialogCount; ++i)
    kept.setValue(QStringLiteral("Files/Dialog%1").arg(i), dialogs_->LastNames[i]);
  kept.setValue(QStringLiteral("Files/RecentPresets"), recentPresets_);
  const TMapParameters p = Parameters();
  kept.beginGroup(QStringLiteral("Parameters"));
  for (const TParameterKey& key : ParameterKeys) {
    const QString name =
        QString::fromLatin1(key.Name.data(), static_cast<qsizetype>(key.Name.size()));
    switch (key.Kind) {
      case TKeyKind::Number:
        kept.setValue(name, p.*key.Number);
        break;
      case TKeyKind::Text:
        kept.setValue(name, FromFileName(p.TownDB));
        break;
      case TKeyKind::Color:
        kept.setValue(name, static_cast<uint>(p.*key.Color));
        break;
      case TKeyKind::Flag:
        kept.setValue(name, p.AutoRefresh);
        break;
    }
  }
  kept.endGroup();
  kept.sync();
}

QSize TfrmMain::OpeningSize() const {
  // The map at the size the fields give, one map pixel per device pixel, with the frame of its
  // area; the window's frame and title bar take the rest of the screen.
  const double ratio = devicePixelRatioF();
  const int frame = 2 * MapArea->frameWidth();
  const QSize map(static_cast<int>(neWidth->Value() / ratio) + frame,
                  static_cast<int>(neHeight->Value() / ratio) + frame);
  QSize wanted(std::max(ClientSize.width(), map.width()),
               ControlPanelHeight + map.height() + StatusHeight);
  if (screen() != nullptr) {
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const int border = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    wanted =
        wanted.boundedTo(screen()->availableGeometry().size() - QSize(border, titleBar + border));
  }
  return wanted.expandedTo(ClientSize);
}

void TfrmMain::showEvent(QShowEvent* event) {
  if (!placed_ && screen() != nullptr) {  // large enough for the map and centred when first shown
    placed_ = true;
    resize(OpeningSize());
    move(screen()->availableGeometry().center() - rect().center());
  }
  QWidget::showEvent(event);
  if (!event->spontaneous()) HandleEvent([this] { FormShow(); });
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
  // Enter anywhere in the window, a number field included, presses the default button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    RefreshButton->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Only the tab control follows the window's width.
  Pages->resize(width() - PageControlBounds.left() - PageControlRightGap,
                PageControlBounds.height());
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  KeepSettings();
  QWidget::closeEvent(event);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && qobject_cast<TAdjustLabel*>(watched))
    CloseStep();
  return QWidget::eventFilter(watched, event);
}

void TfrmMain::FormCreate() {
  Randomize();
}

void TfrmMain::FormShow() {
  RenderMap();
}

void TfrmMain::RefreshClick() {
  RenderMap();
}

void TfrmMain::EditChange() {
  RecordStep();
  if (cbAutoRefresh->isChecked()) {
    RenderMap();
  } else {
    ShowStale();
  }
}

void TfrmMain::btnNewRandSeedClick() {
  neRandSeed->SetValue(static_cast<double>(Random(NewSeedRange)));
}

void TfrmMain::btnBrowseTownDBClick() {
  const auto name = dialogs_->OpenTownDB();
  if (!name) return;
  if (eTownDB->text() != *name) eTownDB->setText(*name);
}

void TfrmMain::ShapeMouseDown(TColorSwatch* Sender) {
  const auto color = dialogs_->ChooseColor(Sender->BrushColor());
  if (!color) return;
  Sender->SetBrushColor(*color);
  CloseStep();
  RecordStep();
  if (cbAutoRefresh->isChecked()) {
    RenderMap();  // also for the colour it had
  } else {
    ShowStale();
  }
}

std::vector<TPngText> TfrmMain::Recipe(bool SmoothHeightmap) const {
  return RecipeTexts({Parameters(), 1, SmoothHeightmap}, HILLOGRAPH_VERSION);
}

void TfrmMain::SavePicture(const std::string& FileName) {
  if (!IsSvgFileName(FileName)) {
    SavePictureFile(iMap->Picture(), FileName, nullptr, nullptr, Recipe());
    return;
  }
  // A drawing is made from the map's layers, which the view does not keep: the same map once
  // more, keeping them.
  const TMapParameters params = Parameters();
  TPicture picture, relief;
  TTownList towns;
  RenderMapParameters(picture, params, &towns, {.Relief = &relief, .Team = &team_});
  TMapLayers layers;
  layers.Relief = &relief, layers.Style = MapStyleOf(params), layers.Towns = &towns;
  layers.MetadataXml = RecipeMetadataXml(Recipe());
  SavePictureFile(picture, FileName, nullptr, &layers);
}

void TfrmMain::SavePictureClick() {
  const auto choice = dialogs_->SavePicture();
  if (!choice) return;
  RenderMap();
  const std::string name = ToFileName(choice->Name);
  switch (choice->Kind) {
    case TSaveKind::Picture:
      // PNG when the name ends in ".png", BMP otherwise, as the command line writes them.
      if (const auto refusal = PictureNameRefusal(name)) throw TError(*refusal);
      SavePicture(AddDefaultExt(name, ToFileName(PictureExt)));
      break;
    case TSaveKind::Heightmap:
    case TSaveKind::SmoothHeightmap: {
      // The heights of the render just shown: the same parameters give the same field.
      const auto format = HeightmapFormatOf(name);
      if (!format) throw TError("Cannot write a heightmap named \"" + name + "\".");
      TPicture picture;
      THeightField heights;
      TRenderExtras extras;
      extras.Heights = &heights;
      extras.Team = &team_;
      RenderMapParameters(picture, Parameters(), nullptr, extras);
      const bool smooth = choice->Kind == TSaveKind::SmoothHeightmap;
      SaveHeightmapFile(heights, *format, name, nullptr,
                        smooth ? THeightmapSamples::Smooth : THeightmapSamples::Levels, &team_,
                        Recipe(smooth));
      break;
    }
    case TSaveKind::TownsJson: {
      TPicture picture;
      TTownList towns;
      RenderMapParameters(picture, Parameters(), &towns, {.Team = &team_});
      SaveTownsJson(name, picture.Width(), picture.Height(), towns);
      break;
    }
  }
}

void TfrmMain::LoadPresetClick() {
  if (const auto name = dialogs_->OpenPreset()) LoadPreset(*name);
}

void TfrmMain::SavePresetClick() {
  if (const auto name = dialogs_->SavePreset()) {
    SavePreset(FromFileName(AddDefaultExt(ToFileName(*name), ToFileName(PresetExt))));
  }
}

void TfrmMain::AboutClick() {
  if (frmAbout != nullptr) frmAbout->exec();
}

void TfrmMain::ExitClick() {
  // As the close box does: what the window keeps is kept, and the last window closed ends the
  // program.
  close();
}

}  // namespace hillograph
