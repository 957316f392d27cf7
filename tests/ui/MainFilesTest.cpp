// The main window's files through the dialog seam: which file a save dialog lets through, what a
// file that is no preset does, PNG pictures and names outside ASCII.
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/MapView.h"
#include "ui/NumberEdit.h"

namespace hillograph {
namespace {

// A user at the dialogs: each save dialog gets the typed names in turn, "Save" pressed after each,
// until one is accepted; an exhausted list cancels. Questions are answered from Answers.
class TUserDialogs : public TDialogs, public TSaveQuestions {
 public:
  QStringList Typed;
  std::deque<bool> Answers;
  QStringList Asked;
  QStringList Refused;

  std::optional<QString> SavePicture() override { return Save(PictureExt); }
  std::optional<QString> SavePreset() override { return Save(PresetExt); }
  std::optional<QString> OpenPreset() override { return Next(); }
  std::optional<QString> OpenTownDB() override { return Next(); }
  std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }

  bool ConfirmReplace(const QString& FileName) override {
    Asked << FileName;
    const bool yes = !Answers.empty() && Answers.front();
    if (!Answers.empty()) Answers.pop_front();
    return yes;
  }
  void RefuseName(const QString& Message) override { Refused << Message; }

 private:
  std::optional<QString> Next() {
    if (Typed.isEmpty()) return std::nullopt;
    return Typed.takeFirst();
  }
  std::optional<QString> Save(const QString& ext) {
    while (!Typed.isEmpty()) {
      if (const auto name = AcceptSaveName(Typed.takeFirst(), ext, *this)) return name;
    }
    return std::nullopt;
  }
};

std::string FileBytes(const QString& path) {
  std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const QString& path, const std::string& bytes) {
  std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << bytes;
}

}  // namespace

class MainFilesTest : public QObject {
  Q_OBJECT

 private:
  TfrmMain* window_ = nullptr;
  TUserDialogs* dialogs_ = nullptr;
  QSignalSpy* renders_ = nullptr;
  QStringList errors_;
  std::unique_ptr<QTemporaryDir> dir_;  // a new one for each test

  QString Path(const QString& name) const { return dir_->filePath(name); }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    errors_.clear();
    static_cast<TApplication*>(QApplication::instance())->ShowError =
        [this](const QString& message) { errors_ << message; };
    auto dialogs = std::make_unique<TUserDialogs>();
    dialogs_ = dialogs.get();
    window_ = new TfrmMain(std::move(dialogs));
    window_->neWidth->SetValue(90);
    window_->neHeight->SetValue(70);
    renders_ = new QSignalSpy(window_, &TfrmMain::Rendered);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
  }

  void cleanup() {
    delete renders_;
    delete window_;
  }

  void aSaveAsksAboutTheFileThatWillBeWritten_data() {
    QTest::addColumn<bool>("preset");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("replace");
    QTest::newRow("preset, no") << true << "p1"
                                << "p1.hpf" << false;
    QTest::newRow("preset, yes") << true << "p1"
                                 << "p1.hpf" << true;
    QTest::newRow("picture, no") << false << "map"
                                 << "map.bmp" << false;
    QTest::newRow("PNG, yes") << false << "map.PNG"
                              << "map.PNG" << true;
  }
  void aSaveAsksAboutTheFileThatWillBeWritten() {
    QFETCH(bool, preset);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(bool, replace);
    WriteFile(Path(written), "old");
    if (typed != written) WriteFile(Path(typed), "decoy");  // not the file written
    dialogs_->Typed = {Path(typed)};
    dialogs_->Answers = {replace};
    QTest::mouseClick(preset ? window_->Button5 : window_->Button3, Qt::LeftButton);
    QCOMPARE(dialogs_->Asked, QStringList{Path(written)});
    QCOMPARE(FileBytes(Path(written)) == "old", !replace);
    if (typed != written) QCOMPARE(FileBytes(Path(typed)), std::string("decoy"));
    QCOMPARE(errors_, QStringList());
  }

  void aFolderThatDoesNotExistIsRefusedUntilCorrected() {
    dialogs_->Typed = {Path("missing/p"), Path("p")};
    QTest::mouseClick(window_->Button5, Qt::LeftButton);
    QCOMPARE(dialogs_->Refused.size(), 1);
    QVERIFY(dialogs_->Refused.front().contains(Path("missing")));
    QCOMPARE(ReadPreset(QFile::encodeName(Path("p.hpf")).toStdString()), window_->Parameters());
    QCOMPARE(errors_, QStringList());
  }

  void aFileThatIsNoPresetChangesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isPreset");
    QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("one key") << QByteArray("[params]\nWidth=77\n") << true;
  }
  void aFileThatIsNoPresetChangesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isPreset);
    const QString name = Path(QStringLiteral("Vorlage äöü.hpf"));  // shown as it was chosen
    WriteFile(name, bytes.toStdString());
    const TMapParameters before = window_->Parameters();
    dialogs_->Typed = {name};
    QTest::mouseClick(window_->Button6, Qt::LeftButton);
    if (!isPreset) {
      QCOMPARE(errors_, QStringList{name + " is not a preset: it holds none of its keys."});
      QVERIFY(window_->Parameters() == before);
      QCOMPARE(renders_->count(), 1);
      return;
    }
    QCOMPARE(errors_, QStringList());
    QCOMPARE(window_->neWidth->Value(), 77.0);
    QCOMPARE(window_->neHeight->Value(), 100.0);  // the load default
    QCOMPARE(renders_->count(), 2);
  }

  void aPngHoldsThePixelsOfTheBmp() {
    dialogs_->Typed = {Path("map"), Path("map.png")};
    QTest::mouseClick(window_->Button3, Qt::LeftButton);
    QTest::mouseClick(window_->Button3, Qt::LeftButton);
    QCOMPARE(FileBytes(Path("map.png")).substr(1, 3), std::string("PNG"));
    const QImage bmp(Path("map.bmp"));
    const QImage png(Path("map.png"));
    QCOMPARE(bmp.size(), QSize(90, 70));
    QCOMPARE(png.convertToFormat(QImage::Format_RGB32), bmp.convertToFormat(QImage::Format_RGB32));
  }

  void namesOutsideAsciiSaveLoadAndReachTheCore() {
    const QString preset = Path(QStringLiteral("Küste ñ 海.hpf"));
    const QString towns = Path(QStringLiteral("Städte ø.txt"));
    WriteFile(towns, "Zürich\nÅrhus\n");
    window_->neTownAmount->SetValue(200);
    window_->eTownDB->setText(towns);
    QCOMPARE(window_->eTownDB->toolTip(), towns);
    dialogs_->Typed = {preset};
    QTest::mouseClick(window_->Button5, Qt::LeftButton);
    window_->eTownDB->clear();
    dialogs_->Typed = {preset};
    QTest::mouseClick(window_->Button6, Qt::LeftButton);
    QCOMPARE(window_->eTownDB->text(), towns);
    // The names were read: the map differs from one without them.
    TMapParameters without = window_->Parameters();
    without.TownDB.clear();
    TPicture plain;
    RenderMapParameters(plain, without);
    QVERIFY(EncodeBmp(window_->iMap->Picture()) != EncodeBmp(plain));
    QCOMPARE(errors_, QStringList());
  }
};

}  // namespace hillograph

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  hillograph::TApplication app(argc, argv);
  hillograph::MainFilesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MainFilesTest.moc"
