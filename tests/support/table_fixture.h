#pragma once

#include "platform/list/list_model.h"
#include "platform/list/list_view.h"
#include "platform/list/report_view.h"
#include "scripted_message_box.h"
#include "table/table_editor.h"

#include <QAbstractItemModelTester>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>
#include <limits>
#include <memory>

// The table's part on its own: the list and the row editor's controls in a plain widget,
// a scripted message box, and the table model under Qt's model tester. No window, no File
// menu, no speech.
struct TableFixture
{
    ScriptedMessageBox messageBox;
    QWidget host;
    ListView *list = new ListView(&host);
    RowEditorControls editor;
    QButtonGroup *options = new QButtonGroup(&host);
    std::unique_ptr<TableEditor> table;
    std::unique_ptr<QAbstractItemModelTester> tester;

    TableFixture()
    {
        auto *layout = new QVBoxLayout(&host);
        layout->addWidget(list->view());
        editor.Text1 = new QLineEdit(&host);
        editor.Text1->setMaxLength(std::numeric_limits<int>::max()); // as the window has it
        editor.Check1 = new QCheckBox(&host);
        layout->addWidget(editor.Text1);
        layout->addWidget(editor.Check1);
        for (int i = 0; i < 4; ++i) {
            auto *option = new QRadioButton(QString::number(i), &host);
            editor.Option1[size_t(i)] = option;
            options->addButton(option, i);
            layout->addWidget(option);
        }
        editor.Option1[0]->setChecked(true);
        table = std::make_unique<TableEditor>(*list, editor, messageBox);
        tester = std::make_unique<QAbstractItemModelTester>(
            list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    // The list reports a user's choice of row as the window routes it.
    void routeItemClicks()
    {
        QObject::connect(list, &ListView::ItemClick, &host,
                         [this](const ListItem &item) { table->ListView1_ItemClick(item); });
    }

    // Adds rows through the list's own operations, like a file load would.
    void addRows(const QList<BroadcastRow> &rows)
    {
        for (const BroadcastRow &row : rows) {
            ListItem item = list->Add(0, row.Content);
            item.SetSubItem(1, row.FareSignal);
            item.SetSubItem(2, row.SoundSignal);
        }
    }

    // Loads row n into the editor and selects it, as every command that loads a row does.
    void load(int n) { table->loadAndSelect(list->Item(n)); }

    BroadcastRow row(int index) { return list->Rows().at(size_t(index - 1)); }
    int selectedRow()
    {
        ListItem item = list->SelectedItem();
        return item.isNothing() ? 0 : item.Index();
    }
    int checkedOption() { return options->checkedId(); }
    QString text() { return editor.Text1->text(); }
    bool fare() { return editor.Check1->isChecked(); }
};
