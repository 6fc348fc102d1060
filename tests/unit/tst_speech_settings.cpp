// Keeping the voice settings between runs.
#include "settings_home.h"
#include "platform/speech/speech_settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QTemporaryDir *g_configHome = nullptr;
}

class TestSpeechSettings : public QObject
{
    Q_OBJECT
private slots:
    void fileLivesInTheUsersConfigFolder();
    void missingFileGivesDefaults();
    void roundTrip();
    void valuesOutsideTheRangesArePulledBack_data();
    void valuesOutsideTheRangesArePulledBack();
    void unwritableFileIsReported();
    void ttsScales_data();
    void ttsScales();
};

void TestSpeechSettings::fileLivesInTheUsersConfigFolder()
{
    QCOMPARE(SpeechSettings::defaultFile(),
             g_configHome->filePath(QStringLiteral("broadcast-data-tool/speech.ini")));
}

void TestSpeechSettings::missingFileGivesDefaults()
{
    QTemporaryDir dir;
    const SpeechSettings s = SpeechSettings::load(dir.filePath(QStringLiteral("none.ini")));
    QCOMPARE(s, SpeechSettings{});
    QCOMPARE(s.speed, 1.0);
    QCOMPARE(s.halfTones, 0);
    QCOMPARE(s.volumeDb, 0);
    QVERIFY(s.voice.isEmpty());
}

void TestSpeechSettings::roundTrip()
{
    SpeechSettings s;
    s.ttsEngine = QStringLiteral("flite");
    s.voice = QStringLiteral("/home/u/.local/share/hts-voice/東北/f01.htsvoice");
    s.speed = 1.3;
    s.halfTones = -4;
    s.volumeDb = -7;
    QVERIFY(s.save(SpeechSettings::defaultFile()));
    QVERIFY(QFile::exists(g_configHome->filePath(QStringLiteral("broadcast-data-tool/speech.ini"))));
    QCOMPARE(SpeechSettings::load(SpeechSettings::defaultFile()), s);
}

void TestSpeechSettings::valuesOutsideTheRangesArePulledBack_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("halfTones");
    QTest::addColumn<int>("volumeDb");

    QTest::newRow("speed too high") << "speed" << QVariant(9.0) << 2.0 << 0 << 0;
    QTest::newRow("speed too low") << "speed" << QVariant(0.0) << 0.5 << 0 << 0;
    QTest::newRow("speed garbage") << "speed" << QVariant("fast") << 1.0 << 0 << 0;
    QTest::newRow("speed not a number") << "speed" << QVariant("nan") << 1.0 << 0 << 0;
    QTest::newRow("pitch too high") << "halfTones" << QVariant(40) << 1.0 << 12 << 0;
    QTest::newRow("pitch too low") << "halfTones" << QVariant(-40) << 1.0 << -12 << 0;
    // Above 0 dB Open JTalk clips the waveform.
    QTest::newRow("volume above clipping") << "volumeDb" << QVariant(6) << 1.0 << 0 << 0;
    QTest::newRow("volume too low") << "volumeDb" << QVariant(-90) << 1.0 << 0 << -20;
}

void TestSpeechSettings::valuesOutsideTheRangesArePulledBack()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("speech.ini"));
    {
        QSettings raw(file, QSettings::IniFormat);
        raw.setValue(QStringLiteral("speech/") + key, stored);
    }
    const SpeechSettings s = SpeechSettings::load(file);
    QTEST(s.speed, "speed");
    QTEST(s.halfTones, "halfTones");
    QTEST(s.volumeDb, "volumeDb");
}

void TestSpeechSettings::unwritableFileIsReported()
{
    QTemporaryDir dir;
    // A file where the folder should be: not even root can write below it.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!SpeechSettings{}.save(blocker + QStringLiteral("/speech.ini")));
}

void TestSpeechSettings::ttsScales_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("halfTones");
    QTest::addColumn<int>("volumeDb");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("pitch");
    QTest::addColumn<double>("volume");

    QTest::newRow("neutral") << 1.0 << 0 << 0 << 0.0 << 0.0 << 1.0;
    QTest::newRow("fastest, highest") << 2.0 << 12 << 0 << 1.0 << 1.0 << 1.0;
    QTest::newRow("slowest, lowest, quietest") << 0.5 << -12 << -20 << -1.0 << -1.0 << 0.1;
    QTest::newRow("in between") << std::sqrt(2.0) << -6 << -6 << 0.5 << -0.5 << 0.501187;
}

void TestSpeechSettings::ttsScales()
{
    QFETCH(double, speed);
    QFETCH(int, halfTones);
    QFETCH(int, volumeDb);
    QFETCH(double, rate);
    QFETCH(double, pitch);
    QFETCH(double, volume);
    SpeechSettings s;
    s.speed = speed;
    s.halfTones = halfTones;
    s.volumeDb = volumeDb;
    QVERIFY(qAbs(s.ttsRate() - rate) < 1e-6);
    QVERIFY(qAbs(s.ttsPitch() - pitch) < 1e-6);
    QVERIFY(qAbs(s.ttsVolume() - volume) < 1e-5);
}

int main(int argc, char **argv)
{
    QTemporaryDir configHome;
    g_configHome = &configHome;
    QCoreApplication app(argc, argv);
    keepSettingsIn(configHome.path());
    TestSpeechSettings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_speech_settings.moc"
