// One very long row, as a pasted document or a broken export makes it: File > 開く of a
// file holding it, 確定 of it, and the processor time the window takes while it sits idle
// with the cursor in 放送内容. Each figure includes the repaint that follows, which is what
// the operator waits for; the idle load is the processor time over wall time of 3 s.
//
//   bench_long_row [characters ...]     default 100000 500000 2500000
#include "app/form1.h"
#include "files/broadcast_file_io.h"
#include "files/file_commands.h"
#include "platform/dialogs/message_box.h"
#include "platform/system/api_lib.h"
#include "table/table_editor.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

class SilentMessageBox final : public IMessageBox
{
public:
    Answer show(const QString &, Buttons, Icon, const QString &) override { return Yes; }
};

class GivenFile final : public IApiLib
{
public:
    QString path;
    QString GetOsInfo() override { return QStringLiteral("Linux"); }
    QString KelpFileDlg(QWidget *, int, const QString &, const QString &, const QString &) override
    {
        return path;
    }
};

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs events until none come for a while: the repaints a change posts.
void settle()
{
    QApplication::processEvents();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes;
    for (const QString &argument : app.arguments().mid(1))
        sizes << argument.toInt();
    if (sizes.isEmpty())
        sizes = {100000, 500000, 2500000};

    QTemporaryDir folder;
    std::printf("%12s %10s %10s %14s\n", "characters", "open ms", "確定 ms", "idle load %");
    for (int characters : sizes) {
        // ご乗車ありがとうございます, repeated: two bytes a character in the file.
        const QString unit = QStringLiteral("ご乗車ありがとうございます");
        QString content;
        content.reserve(characters);
        while (content.size() < characters)
            content += unit;
        content.truncate(characters);
        const QString path = folder.filePath(QStringLiteral("longTp.csv"));
        const BroadcastRow row{content, QStringLiteral("1"), QStringLiteral("2")};
        if (broadcast_file::writeFile(path, std::span(&row, 1)))
            qFatal("cannot write %s", qPrintable(path));

        SilentMessageBox box;
        GivenFile files;
        files.path = path;
        FormServices services;
        services.messageBox = &box;
        services.apiLib = &files;
        Form1 form(services);
        form.show();
        settle();

        QElapsedTimer timer;
        timer.start();
        form.MnuFileOpen->trigger();
        settle();
        const double openMs = timer.nsecsElapsed() / 1e6;

        form.Text1->setFocus();
        form.Text1->end(false);
        settle();
        timer.restart();
        form.Command3->click();
        settle();
        const double confirmMs = timer.nsecsElapsed() / 1e6;

        const double cpuBefore = processorSeconds();
        timer.restart();
        QEventLoop idle;
        QTimer::singleShot(3000, &idle, &QEventLoop::quit);
        idle.exec();
        const double load = 100.0 * (processorSeconds() - cpuBefore) / (timer.nsecsElapsed() / 1e9);
        std::printf("%12d %10.1f %10.1f %14.1f\n", characters, openMs, confirmMs, load);
        std::fflush(stdout);
    }
    return 0;
}
