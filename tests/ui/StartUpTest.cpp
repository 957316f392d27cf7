// The window's command line: which preset it starts with, what it ignores, and that the first
// render, the only one at start-up, is of that preset.
#include <QCheckBox>
#include <QTest>
#include <QTextStream>

#include "parameters/Preset.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"
#include "tests/TempFolder.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/MapView.h"
#include "ui/StartUp.h"

namespace hillograph {

class StartUpTest : public QObject {
  Q_OBJECT

 private slots:
  void readsOneFileAndNamesWhatItIgnores_data() {
    QTest::addColumn<QStringList>("arguments");  // after the program's name
    QTest::addColumn<QString>("presetFile");     // null: the program ends at once
    QTest::addColumn<QString>("errorNames");
    QTest::newRow("a file") << QStringList{"a.hpf"} << "a.hpf"
                            << "";
    QTest::newRow("unknown option") << QStringList{"--bogus", "a.hpf"} << "a.hpf"
                                    << "bogus";
    QTest::newRow("second file") << QStringList{"a.hpf", "b.hpf"} << "a.hpf"
                                 << "b.hpf";
    QTest::newRow("help among the toolkit's options")
        << QStringList{"-platform", "xcb", "--help", "a.hpf"} << QString() << "";
  }
  void readsOneFileAndNamesWhatItIgnores() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, presetFile);
    QFETCH(QString, errorNames);
    arguments.prepend("hillograph");
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const std::optional<int> status = AnswerHelpOrVersion(arguments, outStream);
    QCOMPARE(status, presetFile.isNull() ? std::optional(0) : std::nullopt);
    if (!status) QCOMPARE(ReadStartUpFile(arguments, errStream), presetFile);
    QVERIFY(presetFile.isNull() ? out.contains("file") : out.isEmpty());  // help names the file
    QCOMPARE(err.isEmpty(), errorNames.isEmpty());
    QVERIFY(err.contains(errorNames));
  }

  void startsWithThePresetAndRendersOnce_data() {
    QTest::addColumn<QString>("contents");  // empty: the file does not exist
    QTest::addColumn<bool>("autoRefresh");
    const QString preset = "[Params]\nWidth=50\nHeight=40\nRandSeed=7\n[x]\nAutoRefresh=";
    QTest::newRow("preset refreshing") << preset + "1" << true;
    QTest::newRow("preset not refreshing") << preset + "0" << false;
    QTest::newRow("missing file") << "" << true;
  }
  void startsWithThePresetAndRendersOnce() {
    QFETCH(QString, contents);
    QFETCH(bool, autoRefresh);
    const testing::TTempFolder dir;
    const QString path = QString::fromStdString(dir.Path("a.hpf"));
    if (!contents.isEmpty()) dir.Write("a.hpf", contents.toStdString());
    QStringList errors;
    static_cast<TApplication*>(QApplication::instance())->ShowError = [&](const QString& message) {
      errors << message;
    };
    TfrmMain window;
    std::vector<std::string> renders;
    connect(&window, &TfrmMain::Rendered,
            [&] { renders.push_back(EncodeBmp(window.iMap->Picture())); });
    LoadStartUpPreset(window, path);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(errors.size(), contents.isEmpty() ? 1 : 0);
    if (!errors.isEmpty()) QVERIFY(errors.front().contains(path));
    TPicture expected;
    RenderMapParameters(expected,
                        contents.isEmpty() ? TMapParameters{} : ReadPreset(path.toStdString()));
    QCOMPARE(renders, std::vector<std::string>{EncodeBmp(expected)});
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
