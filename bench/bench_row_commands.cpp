// Times each row command and a confirmation on the largest table whose every row can
// become current, with the current row at the top, in the middle and at the bottom, each
// as a user's click reaches it: through the window's routing, which writes what changed to
// the recovery journal. Printed without and with the journal. Each figure includes the
// window's repaint after the command (the events it posts are processed), since that is
// what the operator waits for.
#include "app/form1.h"
#include "table/table_editor.h"
#include "platform/list/list_view.h"
#include "platform/dialogs/message_box.h"
#include "recovery/recovery_journal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

class SilentMessageBox final : public IMessageBox
{
public:
    Answer show(const QString &, Buttons, Icon, const QString &) override { return Ok; }
};

constexpr int kTableRows = 32767;
constexpr int kRepeats = 40;

struct Figures
{
    double median, worst;
};

struct Row
{
    const char *name;
    int current;
    Figures figures;
};

Figures measure(const std::function<void()> &prepare, const std::function<void()> &command,
                const std::function<void()> &restore)
{
    std::vector<double> ms;
    for (int i = 0; i < kRepeats; ++i) {
        prepare();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        command();
        if (!qEnvironmentVariableIsSet("BENCH_NO_PAINT"))
            QApplication::processEvents();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        restore();
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// Every command at every position, on a window with or without a journal.
std::vector<Row> measureAll(const QString &recoveryFolder)
{
    SilentMessageBox box;
    FormServices services;
    services.messageBox = &box;
    services.recoveryFolder = recoveryFolder;
    Form1 form(services);
    form.show();

    auto resetTable = [&](int rows) {
        form.ListView1->Clear();
        std::vector<BroadcastRow> table;
        table.reserve(size_t(rows));
        for (int i = 1; i <= rows; ++i)
            table.push_back({QStringLiteral("次は%1番線から発車します").arg(i), QString::number(i % 2),
                             QString::number(i % 4)});
        form.ListView1->AppendRows(std::move(table));
    };
    // Loads a row and writes what the preparation changed, so that the measured event
    // writes only what its command changes.
    auto loadRow = [&](int row) {
        form.table().ListView1_ItemClick(form.ListView1->Item(row));
        form.ListView1->Item(row).SetSelected(true);
        if (form.journal())
            form.journal()->commit();
    };
    auto command = [&](int index) {
        return [&form, index] { form.Dispatch([&] { form.table().Command2_Click(std::int16_t(index)); }); };
    };

    std::vector<Row> rows;
    const char *names[] = {"add", "delete", "copy", "append paste", "insert paste", "move up",
                           "move down"};
    for (int position : {0, 1, 2}) {
        for (int index = 0; index <= 7; ++index) {
            // Commands that add a row start one row short, so the new row is still one
            // that can become current.
            const bool adds = index == 0 || index == 3 || index == 4;
            const int tableRows = adds ? kTableRows - 1 : kTableRows;
            const char *name = index == 7 ? "confirm" : names[index];
            if (qEnvironmentVariableIsSet("BENCH_ONLY") && qgetenv("BENCH_ONLY") != name)
                continue;
            resetTable(tableRows);
            const int current = position == 0 ? 1 : position == 1 ? (tableRows + 1) / 2 : tableRows;
            std::function<void()> prepare = [&, current] { loadRow(current); };
            std::function<void()> restore;
            if (adds) {
                restore = [&] { form.ListView1->Remove(form.ListView1->SelectedItem().Index()); };
            } else if (index == 1) {
                restore = [&, current] {
                    form.ListView1->Add(std::min(current, form.ListView1->Count() + 1),
                                        QStringLiteral("restored"));
                };
            } else {
                restore = [] {};
            }
            std::function<void()> run;
            if (index == 7) {
                prepare = [&, current] {
                    form.Text1->setText(QStringLiteral("ご乗車ありがとうございます"));
                    loadRow(current);
                    form.Text1->setText(QStringLiteral("ご乗車ありがとうございます"));
                };
                run = [&] { form.Dispatch([&] { form.table().Command3_Click(); }); };
            } else {
                run = command(index);
            }
            rows.push_back({name, current, measure(prepare, run, restore)});
        }
    }
    return rows;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const std::vector<Row> without = measureAll(QString());
    const std::vector<Row> with = measureAll(folder.filePath(QStringLiteral("recovery")));

    std::printf("%d rows; milliseconds, median and worst of %d\n", kTableRows, kRepeats);
    std::printf("%-14s %8s %21s %21s\n", "", "", "without the journal", "with the journal");
    std::printf("%-14s %8s %10s %10s %10s %10s\n", "command", "current", "median", "worst",
                "median", "worst");
    for (size_t i = 0; i < without.size(); ++i) {
        std::printf("%-14s %8d %10.3f %10.3f %10.3f %10.3f\n", without[i].name, without[i].current,
                    without[i].figures.median, without[i].figures.worst, with[i].figures.median,
                    with[i].figures.worst);
    }
    return 0;
}
