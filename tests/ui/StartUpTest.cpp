// The window's command line: which preset it starts with, what it ignores, and that the first
// render, the only one at start-up, is of that preset.
#include <QCheckBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <fstream>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/MapView.h"
#include "ui/StartUp.h"

namespace hillograph {

class StartUpTest : public QObject {
  Q_OBJECT

 private slots:
  void readsOneFileAndNamesWhatItIgnores_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("presetFile");
    QTest::addColumn<bool>("ends");
    QTest::addColumn<QString>("errorNames");

    QTest::newRow("a file") << QStringList{"hillograph", "a.hpf"} << "a.hpf" << false << "";
    QTest::newRow("unknown option")
        << QStringList{"hillograph", "--bogus", "a.hpf"} << "a.hpf" << false << "bogus";
    QTest::newRow("second file") << QStringList{"hillograph", "a.hpf", "b.hpf"} << "a.hpf" << false
                                 << "b.hpf";
    QTest::newRow("help among the toolkit's options")
        << QStringList{"hillograph", "-platform", "xcb", "--help", "a.hpf"} << "" << true << "";
  }

  void readsOneFileAndNamesWhatItIgnores() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, presetFile);
    QFETCH(bool, ends);
    QFETCH(QString, errorNames);
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const std::optional<int> status = AnswerHelpOrVersion(arguments, outStream);
    QCOMPARE(status.has_value(), ends);
    if (status) {
      QCOMPARE(*status, 0);
      QVERIFY(out.contains("file"));
    } else {
      QCOMPARE(ReadStartUpFile(arguments, errStream), presetFile);
      QVERIFY(out.isEmpty());
    }
    QCOMPARE(err.isEmpty(), errorNames.isEmpty());
    QVERIFY(err.contains(errorNames));
  }

  void startsWithThePresetAndRendersOnce_data() {
    QTest::addColumn<QString>("fileName");  // empty: no argument
    QTest::addColumn<QString>("contents");  // empty: the file does not exist
    QTest::addColumn<QSize>("mapSize");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<bool>("autoRefresh");

    const QString preset = "[Params]\nWidth=50\nHeight=40\nRandSeed=7\n[x]\nAutoRefresh=";
    QTest::newRow("preset refreshing") << "a.hpf" << preset + "1" << QSize(50, 40) << false << true;
    QTest::newRow("preset not refreshing")
        << "a.hpf" << preset + "0" << QSize(50, 40) << false << false;
    QTest::newRow("missing file") << "gone.hpf"
                                  << "" << QSize(640, 480) << true << true;
    QTest::newRow("no file") << ""
                             << "" << QSize(640, 480) << false << true;
  }

  void startsWithThePresetAndRendersOnce() {
    QFETCH(QString, fileName);
    QFETCH(QString, contents);
    QFETCH(QSize, mapSize);
    QFETCH(bool, failed);
    QFETCH(bool, autoRefresh);
    QTemporaryDir dir;
    const QString path = fileName.isEmpty() ? QString() : dir.filePath(fileName);
    if (!contents.isEmpty()) std::ofstream(path.toStdString()) << contents.toStdString();
    QStringList errors;
    static_cast<TApplication*>(QApplication::instance())->ShowError = [&](const QString& message) {
      errors << message;
    };

    TfrmMain window;
    std::vector<std::string> renders;
    connect(&window, &TfrmMain::Rendered,
            [&] { renders.push_back(EncodeBmp(window.iMap->Picture())); });
    if (!path.isEmpty()) LoadStartUpPreset(window, path);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(errors.size(), failed ? 1 : 0);
    if (failed) QVERIFY(errors.front().contains(path));
    QCOMPARE(renders.size(), std::size_t{1});
    const TMapParameters expected =
        contents.isEmpty() ? TMapParameters{} : ReadPreset(path.toStdString());
    TPicture picture;
    RenderMapParameters(picture, expected);
    QCOMPARE(QSize(picture.Width(), picture.Height()), mapSize);
    QVERIFY(renders.front() == EncodeBmp(picture));
    QCOMPARE(window.cbAutoRefresh->isChecked(), autoRefresh);
  }
};

}  // namespace hillograph

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  hillograph::TApplication app(argc, argv);
  hillograph::StartUpTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "StartUpTest.moc"
