#pragma once

#include "app/form_services.h"
#include "files/file_commands.h"
#include "speech/speech_preview.h"

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
// files/, speech/), in the parts it is made of; this class creates the controls and
// routes user events to those handlers.
class Form1 final : public QMainWindow, public FileCommands, public SpeechPreview
{
    Q_OBJECT
public:
    explicit Form1(FormServices services = {}, QWidget *parent = nullptr);
    ~Form1() override;

    // Controls, named as the handlers use them (the list and the row editor belong to the
    // table's part, the save dialog to the File menu's, the speech buttons to the speech
    // preview's).
    std::array<QPushButton *, 7> Command2{};
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QPushButton *Command3 = nullptr;
    QLabel *Label1 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QMenu *MnuFile = nullptr;
    QAction *MnuFileNew = nullptr;
    QAction *MnuFileOpen = nullptr;
    QAction *MnuFileSave = nullptr;
    QAction *MnuBdr1 = nullptr;
    QAction *MnuFileExit = nullptr;

    // The one entry point of every user event: runs the handler and shows any error it
    // did not trap, leaving the window and its table as the failure left them.
    void Dispatch(const std::function<void()> &handler) override;

protected:
    IMessageBox &messageBox() const override { return *m_services.messageBox; }
    IApiLib &apiLib() const override { return *m_services.apiLib; }
    QWidget *dialogOwner() override { return this; }
    void endProgram() override { m_services.endProgram(); }
    QString editorContent() const override;
    ISpeechComponentFactory *speechFactory() const override { return m_services.speechFactory; }

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void createControls();
    void createMenu();
    void routeEvents();
    void showUnhandledError(int number, const QString &description);

    FormServices m_services;
    bool m_loadPending = false; // Form_Load waits for the first paint
    std::unique_ptr<IMessageBox> m_ownMessageBox;
    std::unique_ptr<IApiLib> m_ownApiLib;
    std::unique_ptr<ICommonDialog> m_ownCommonDialog;
};
