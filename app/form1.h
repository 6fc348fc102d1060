#pragma once

#include "app/form_services.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class FileCommands;
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
class RecoveryJournal;
class SpeechPreview;
class TableEditor;

// The tool's only window: the broadcast table, the row commands, the row editor and the
// speech buttons. It creates the controls, hands them to its three parts (the table, the
// File menu and the speech preview), which hold the handlers, and routes user events to
// them through one error boundary.
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

    // The parts.
    TableEditor &table() const { return *m_table; }
    FileCommands &files() const { return *m_files; }
    SpeechPreview &speech() const { return *m_speech; }
    // Null when the window keeps no journal.
    RecoveryJournal *journal() const { return m_journal; }

    // The one entry point of every user event: runs the handler and shows any error it
    // did not trap, leaving the window and its table as the failure left them.
    void Dispatch(const std::function<void()> &handler);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void createControls();
    void createMenu();
    void createParts();
    void routeEvents();
    void loadForm();
    void endJournal();
    void showRecoveryStopped(const QString &reason);
    void showUnhandledError(int number, const QString &description);

    FormServices m_services;
    bool m_loadPending = false; // Form_Load waits for the first paint
    std::unique_ptr<IMessageBox> m_ownMessageBox;
    std::unique_ptr<IApiLib> m_ownApiLib;
    std::unique_ptr<ICommonDialog> m_ownCommonDialog;
    std::unique_ptr<TableEditor> m_table;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<SpeechPreview> m_speech;
    RecoveryJournal *m_journal = nullptr;
};
