#pragma once

#include "app/form_services.h"
#include "platform/list/list_item.h"
#include "table/broadcast_row.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class ListView;
class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class ISpeechComponent;
class RuntimeError;

// The tool's only window: the broadcast table, the row commands, the row editor and the
// speech buttons. Its event handlers live beside the subsystem they belong to (table/,
// files/, speech/); this class holds the controls, the form-level editing state and the
// routing of user events to those handlers.
class Form1 final : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1(FormServices services = {}, QWidget *parent = nullptr);
    ~Form1() override;

    // Controls, named as the handlers use them.
    ListView *ListView1 = nullptr;
    std::array<QPushButton *, 7> Command2{};
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QRadioButton *, 4> Option1{};
    QButtonGroup *Option1Group = nullptr;
    QCheckBox *Check1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command3 = nullptr;
    QLabel *Label1 = nullptr;
    QGroupBox *Frame3 = nullptr;
    std::array<QPushButton *, 3> Command1{};
    QMenu *MnuFile = nullptr;
    QAction *MnuFileNew = nullptr;
    QAction *MnuFileOpen = nullptr;
    QAction *MnuFileSave = nullptr;
    QAction *MnuBdr1 = nullptr;
    QAction *MnuFileExit = nullptr;
    ICommonDialog *C_Dialog1 = nullptr;

    // Form-level editing state.
    std::int16_t CurrentRow = 0;
    ListItem WorkItem;
    ListItem NewItem;
    BroadcastRow SwapRow;
    BroadcastRow ClipboardRow;
    QPointer<ISpeechComponent> SpeechEngine;

    // Handlers.
    std::int32_t IsCommaAndTab(const QString &strText);
    void Command1_Click(std::int16_t Index);
    void Command2_Click(std::int16_t Index);
    void Command3_Click();
    void Form_Load();
    void Form_QueryUnload(std::int16_t &Cancel, std::int16_t UnloadMode);
    void SpeechEngine_Failed(int Number, const QString &Description);
    void ListView1_ItemClick(const ListItem &Item);
    void MnuFileExit_Click();
    void MnuFileNew_Click();
    void MnuFileOpen_Click();
    void MnuFileSave_Click();

    // The one entry point of every user event: runs the handler and shows any error it
    // did not trap, leaving the window and its table as the failure left them.
    void Dispatch(const std::function<void()> &handler);

    IMessageBox &messageBox() const { return *m_services.messageBox; }
    IApiLib &apiLib() const { return *m_services.apiLib; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void createControls();
    void createMenu();
    void routeEvents();
    void clearEditor();
    void loadAndSelect(const ListItem &item);
    bool userAgreesToDiscard();
    void showUnhandledError(int number, const QString &description);
    void setSpeechButtonsEnabled(bool enabled);

    FormServices m_services;
    bool m_loadPending = false; // Form_Load waits for the first paint
    bool m_speechFailureShown = false; // since the last 再生
    std::unique_ptr<IMessageBox> m_ownMessageBox;
    std::unique_ptr<IApiLib> m_ownApiLib;
    std::unique_ptr<ICommonDialog> m_ownCommonDialog;
};
