// Finding Open JTalk voices on disk.
#include "platform/speech/speech_engine_choice.h"
#include "platform/speech/speech_voices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The user's data folder of this run, set before Qt reads the environment.
QTemporaryDir *g_dataHome = nullptr;

void writeFile(const QString &path, const QByteArray &content = "[GLOBAL]\n")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestSpeechVoices : public QObject
{
    Q_OBJECT
private slots:
    void findsVoicesInFolderOrder();
    void skipsMissingFoldersAndOtherFiles();
    void listsAFileReachedTwiceOnce();
    void userFolderFollowsXdgDataHome();
    void builtInVoiceIsTheDefault_data();
    void builtInVoiceIsTheDefault();
    void sampleRate_data();
    void sampleRate();
    void projectVoiceIsFortyEightKilohertz();
};

void TestSpeechVoices::findsVoicesInFolderOrder()
{
    QTemporaryDir root;
    const QString system = root.filePath(QStringLiteral("system"));
    const QString user = root.filePath(QStringLiteral("user"));
    writeFile(system + QStringLiteral("/mei/mei_normal.htsvoice"));
    writeFile(system + QStringLiteral("/b.htsvoice"));
    writeFile(system + QStringLiteral("/a.htsvoice"));
    writeFile(user + QStringLiteral("/tohoku/deep/f01.htsvoice"));

    const QStringList found = SpeechVoices::find({user, system});
    QCOMPARE(found, (QStringList{
                        user + QStringLiteral("/tohoku/deep/f01.htsvoice"),
                        system + QStringLiteral("/a.htsvoice"),
                        system + QStringLiteral("/b.htsvoice"),
                        system + QStringLiteral("/mei/mei_normal.htsvoice"),
                    }));
}

void TestSpeechVoices::skipsMissingFoldersAndOtherFiles()
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("voices"));
    writeFile(folder + QStringLiteral("/voice.htsvoice"));
    writeFile(folder + QStringLiteral("/voice.htsvoice.txt"));
    writeFile(folder + QStringLiteral("/README"));
    QDir().mkpath(folder + QStringLiteral("/folder.htsvoice"));

    const QStringList found = SpeechVoices::find(
        {QString(), root.filePath(QStringLiteral("missing")), folder});
    QCOMPARE(found, QStringList{folder + QStringLiteral("/voice.htsvoice")});
    QVERIFY(SpeechVoices::find({root.filePath(QStringLiteral("missing"))}).isEmpty());
}

void TestSpeechVoices::listsAFileReachedTwiceOnce()
{
    QTemporaryDir root;
    const QString real = root.filePath(QStringLiteral("share/hts-voice/x/a.htsvoice"));
    writeFile(real);
    const QString other = root.filePath(QStringLiteral("other"));
    QDir().mkpath(other);
    QVERIFY(QFile::link(real, other + QStringLiteral("/link.htsvoice")));

    // Through a link in another folder, and through a folder given inside another.
    const QStringList found = SpeechVoices::find(
        {root.filePath(QStringLiteral("share/hts-voice")), other,
         root.filePath(QStringLiteral("share/hts-voice/x"))});
    QCOMPARE(found, QStringList{real});
}

void TestSpeechVoices::userFolderFollowsXdgDataHome()
{
    const QString userFolder = g_dataHome->filePath(QStringLiteral("hts-voice"));
    QCOMPARE(SpeechVoices::defaultFolders().last(), userFolder);

    // How a user adds a voice of their own: a file (here a link) in their folder.
    QDir().mkpath(userFolder + QStringLiteral("/tohoku"));
    const QString link = userFolder + QStringLiteral("/tohoku/tohoku-f01-neutral.htsvoice");
    QVERIFY(QFile::link(QStringLiteral(BDT_TEST_VOICE), link));
    QVERIFY(SpeechVoices::find(SpeechVoices::defaultFolders()).contains(link));
    QFile::remove(link);
}

// The program finds its own voice from its own folder, in the build tree and installed
// under any prefix, and uses it while the user has chosen no other.
void TestSpeechVoices::builtInVoiceIsTheDefault_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("builtInVoice");
    QTest::newRow("build tree") << "build" << "build/voices/own.htsvoice";
    QTest::newRow("package under /usr")
        << "usr/bin" << "usr/share/broadcast-data-tool/voices/own.htsvoice";
    QTest::newRow("installed under /usr/local")
        << "usr/local/bin" << "usr/local/share/broadcast-data-tool/voices/own.htsvoice";
}

void TestSpeechVoices::builtInVoiceIsTheDefault()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, builtInVoice);
    QTemporaryDir root;
    const QString own = root.filePath(builtInVoice);
    const QString users = root.filePath(QStringLiteral("home/hts-voice/a-users.htsvoice"));
    writeFile(own);
    writeFile(users);

    const QStringList folders = SpeechVoices::builtInFolders(root.filePath(programFolder))
        << root.filePath(QStringLiteral("home/hts-voice"));
    const QStringList voices = SpeechVoices::find(folders);
    QCOMPARE(voices, (QStringList{own, users}));
    QCOMPARE(chooseOpenJTalkVoice(voices, QString()), own);
    // The user's own choice still wins, and their voice is still offered.
    QCOMPARE(chooseOpenJTalkVoice(voices, users), users);
}

void TestSpeechVoices::sampleRate_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("rate");
    QTest::newRow("48 kHz") << QByteArray("[GLOBAL]\nHTS_VOICE_VERSION:1.0\nSAMPLING_FREQUENCY:48000\n"
                                          "FRAME_PERIOD:240\n")
                            << 48000;
    QTest::newRow("16 kHz, CRLF") << QByteArray("[GLOBAL]\r\nSAMPLING_FREQUENCY:16000\r\n") << 16000;
    QTest::newRow("not said") << QByteArray("[GLOBAL]\nHTS_VOICE_VERSION:1.0\n") << 0;
    QTest::newRow("garbage") << QByteArray("[GLOBAL]\nSAMPLING_FREQUENCY:fast\n") << 0;
    QTest::newRow("negative") << QByteArray("[GLOBAL]\nSAMPLING_FREQUENCY:-5\n") << 0;
    QTest::newRow("empty file") << QByteArray() << 0;
}

void TestSpeechVoices::sampleRate()
{
    QFETCH(QByteArray, header);
    QFETCH(int, rate);
    QTemporaryDir root;
    const QString path = root.filePath(QStringLiteral("v.htsvoice"));
    writeFile(path, header);
    QCOMPARE(SpeechVoices::sampleRate(path), rate);
}

void TestSpeechVoices::projectVoiceIsFortyEightKilohertz()
{
    const QString voice = QStringLiteral(BDT_TEST_VOICE);
    QCOMPARE(SpeechVoices::sampleRate(voice), 48000);
    QCOMPARE(SpeechVoices::displayName(voice), QStringLiteral("tohoku-f01-neutral"));
    QCOMPARE(SpeechVoices::sampleRate(QStringLiteral("/nonexistent.htsvoice")), 0);
}

int main(int argc, char **argv)
{
    QTemporaryDir dataHome;
    g_dataHome = &dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QCoreApplication app(argc, argv);
    TestSpeechVoices test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_speech_voices.moc"
