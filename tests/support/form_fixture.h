#pragma once

#include "app/form1.h"
#include "files/file_commands.h"
#include "speech/speech_preview.h"
#include "table/table_editor.h"
#include "fakes.h"
#include "platform/list/list_model.h"
#include "platform/list/list_view.h"
#include "scripted_message_box.h"

#include <QAbstractItemModelTester>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

// A window wired to scripted stand-ins, with the table model under Qt's model tester.
struct FormFixture
{
    ScriptedMessageBox messageBox;
    FakeApiLib apiLib;
    FakeCommonDialog commonDialog;
    FakeSpeechFactory speechFactory;
    IInputMethod *inputMethod = nullptr; // none given: the one that runs, if any
    int endProgramCalls = 0;
    bool loadAfterFirstPaint = false;
    QString recoveryFolder;
    std::unique_ptr<Form1> form;
    std::unique_ptr<QAbstractItemModelTester> tester;

    explicit FormFixture(bool createNow = true)
    {
        if (createNow)
            create();
    }

    void create()
    {
        FormServices services;
        services.messageBox = &messageBox;
        services.apiLib = &apiLib;
        services.commonDialog = &commonDialog;
        services.speechFactory = &speechFactory;
        services.inputMethod = inputMethod;
        services.endProgram = [this] { ++endProgramCalls; };
        services.loadAfterFirstPaint = loadAfterFirstPaint;
        services.recoveryFolder = recoveryFolder;
        tester.reset();
        form = std::make_unique<Form1>(services);
        tester = std::make_unique<QAbstractItemModelTester>(
            form->ListView1->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    // Adds rows through the list's own operations, like a file load would.
    void addRows(const QList<BroadcastRow> &rows)
    {
        for (const BroadcastRow &row : rows) {
            ListItem item = form->ListView1->Add(0, row.Content);
            item.SetSubItem(1, row.FareSignal);
            item.SetSubItem(2, row.SoundSignal);
        }
    }

    // Loads row n into the editor and selects it, as every command that loads a row does.
    void load(int n)
    {
        form->table().loadAndSelect(form->ListView1->Item(n));
    }

    // The detail line of the one error box shown: title and first line as given, critical,
    // OK only. Empty when no box was shown; the whole prompt when it is another box.
    QString errorDetail(const QString &title, const QString &firstLine)
    {
        if (messageBox.shown.isEmpty())
            return QString();
        const auto &box = messageBox.shown.first();
        const QStringList lines = box.prompt.split(QStringLiteral("\r\n"));
        if (messageBox.shown.size() != 1 || box.title != title || box.icon != IMessageBox::Critical
            || box.buttons != IMessageBox::OkOnly || lines.size() != 2 || lines[0] != firstLine)
            return QStringLiteral("<unexpected box: %1>").arg(box.prompt);
        return lines[1];
    }

    BroadcastRow row(int index) { return form->ListView1->Rows().at(size_t(index - 1)); }
    int selectedRow()
    {
        ListItem item = form->ListView1->SelectedItem();
        return item.isNothing() ? 0 : item.Index();
    }
    int checkedOption() { return form->Option1Group->checkedId(); }
    QString text() { return form->Text1->text(); }
    bool fare() { return form->Check1->isChecked(); }
};
