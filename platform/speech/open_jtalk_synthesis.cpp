#include "platform/speech/open_jtalk_synthesis.h"

#include "platform/speech/speech_failure_messages.h"
#include "platform/speech/speech_voices.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const QString kDebianDictionary = QStringLiteral("/var/lib/mecab/dic/open-jtalk/naist-jdic");

// Starting is a fork and an exec; it reports within milliseconds unless the machine is
// badly overloaded.
constexpr int kStartTimeoutMs = 3000;
// After SIGKILL the process is gone at once; the wait only collects its exit status.
constexpr int kReapTimeoutMs = 3000;
// How long a synthesis may take before it is taken for hung: the start (dictionary and
// voice read) and a time per character, both many times what the synthesizer needs on a
// busy machine; a hundred-character piece takes about a second.
constexpr int kSynthesisBaseMs = 5000;
constexpr int kSynthesisPerCharacterMs = 100;

} // namespace

bool OpenJTalkSetup::isReady() const
{
    const QFileInfo exe(program);
    return exe.isFile() && exe.isExecutable()
        && QFileInfo(dictionary + QStringLiteral("/sys.dic")).isFile();
}

OpenJTalkSetup OpenJTalkSetup::detect(const QStringList &voiceFolders)
{
    OpenJTalkSetup setup;
    setup.program = QStandardPaths::findExecutable(QStringLiteral("open_jtalk"));
    setup.dictionary = kDebianDictionary;
    setup.voiceFolders = voiceFolders;
    setup.voices = SpeechVoices::find(voiceFolders);
    return setup;
}

void OpenJTalkSetup::refreshVoices()
{
    if (!voiceFolders.isEmpty())
        voices = SpeechVoices::find(voiceFolders);
}

QStringList openJTalkArguments(const OpenJTalkSetup &setup, const QString &voice,
                               const SpeechSettings &settings)
{
    return {
        QStringLiteral("-x"), setup.dictionary,
        QStringLiteral("-m"), voice,
        QStringLiteral("-r"), QString::number(settings.speed, 'f', 2),
        QStringLiteral("-fm"), QString::number(settings.halfTones),
        QStringLiteral("-g"), QString::number(settings.volumeDb),
        // The whole file arrives once synthesis ends; a pipe saves a temporary file.
        QStringLiteral("-ow"), QStringLiteral("/dev/stdout"),
    };
}

OpenJTalkSynthesis::OpenJTalkSynthesis(QObject *parent)
    : QObject(parent), m_process(new QProcess(this)), m_timeLimit(new QTimer(this))
{
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    // The synthesis goes with the program however the program ends, a signal or a crash
    // included: nothing else would end a synthesizer that hangs.
    const pid_t program = ::getpid();
    m_process->setChildProcessModifier([program] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != program)
            ::_exit(127); // the program ended before the request was made
    });
    m_timeLimit->setSingleShot(true);
    connect(m_timeLimit, &QTimer::timeout, this, &OpenJTalkSynthesis::onTimeLimit);
    connect(m_process, &QProcess::finished, this, &OpenJTalkSynthesis::onFinished);
    connect(m_process, &QProcess::errorOccurred, this, &OpenJTalkSynthesis::onErrorOccurred);
}

OpenJTalkSynthesis::~OpenJTalkSynthesis()
{
    kill();
}

bool OpenJTalkSynthesis::start(const QString &program, const QStringList &arguments,
                               const QString &text, QString *error)
{
    m_process->start(program, arguments);
    if (!m_process->waitForStarted(kStartTimeoutMs)) {
        if (error)
            *error = m_process->errorString();
        m_done = true;
        kill();
        return false;
    }
    // Open JTalk reads one line; the caller has already made the text a single line.
    m_process->write(text.toUtf8() + '\n');
    m_process->closeWriteChannel();
    m_timeLimit->start(kSynthesisBaseMs + kSynthesisPerCharacterMs * int(text.size()));
    return true;
}

void OpenJTalkSynthesis::kill()
{
    m_done = true;
    m_timeLimit->stop();
    if (m_process->state() == QProcess::NotRunning)
        return;
    m_process->kill();
    m_process->waitForFinished(kReapTimeoutMs);
}

qint64 OpenJTalkSynthesis::processId() const
{
    return m_process->processId();
}

void OpenJTalkSynthesis::onTimeLimit()
{
    if (m_done)
        return;
    const int seconds = (m_timeLimit->interval() + 999) / 1000;
    kill();
    emit failed(SpeechFailureMessages::synthesisTimedOut(seconds));
}

void OpenJTalkSynthesis::onFinished(int exitCode, QProcess::ExitStatus status)
{
    if (m_done)
        return;
    m_done = true;
    m_timeLimit->stop();
    if (status != QProcess::NormalExit || exitCode != 0) {
        const QString detail = QString::fromUtf8(m_process->readAllStandardError());
        if (status == QProcess::CrashExit) {
            emit failed(SpeechFailureMessages::synthesisCrashed(detail));
            return;
        }
        // Open JTalk's word for a voice (or dictionary) it cannot read; the dictionary was
        // found before the start, so it is the voice.
        m_voiceNotLoaded = detail.contains(QLatin1String("cannot be loaded"));
        emit failed(m_voiceNotLoaded ? SpeechFailureMessages::voiceNotLoaded(detail)
                                     : SpeechFailureMessages::synthesisExited(exitCode, detail));
        return;
    }
    QString reason;
    const auto audio = parseWav(m_process->readAllStandardOutput(), &reason);
    if (!audio) {
        emit failed(SpeechFailureMessages::synthesisNotAudio(reason));
        return;
    }
    emit finished(*audio);
}

void OpenJTalkSynthesis::onErrorOccurred(QProcess::ProcessError error)
{
    // A crash is reported by finished as well; only a failure that ends without it is
    // reported here. Failing to start is handled in start().
    if (m_done || error == QProcess::Crashed || error == QProcess::FailedToStart)
        return;
    if (m_process->state() == QProcess::NotRunning) {
        m_done = true;
        m_timeLimit->stop();
        emit failed(SpeechFailureMessages::synthesisCrashed(m_process->errorString()));
    }
}
