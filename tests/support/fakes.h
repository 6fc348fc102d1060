#pragma once

#include "platform/system/api_lib.h"
#include "platform/dialogs/common_dialog.h"
#include "platform/runtime/runtime_error.h"
#include "platform/speech/speech_component.h"

#include <QPointer>
#include <QStringList>
#include <optional>

// The maker's library with a given system name and scripted open-dialog answers.
class FakeApiLib final : public IApiLib
{
public:
    QString osName = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    QStringList openAnswers; // paths to return, in order; empty string = cancelled
    struct OpenCall
    {
        QWidget *owner;
        int reserved;
        QString filter, initial, title;
    };
    QList<OpenCall> openCalls;
    std::function<void()> whileOpenShown;

    QString GetOsInfo() override { return osName; }
    QString KelpFileDlg(QWidget *owner, int reserved, const QString &filter,
                        const QString &initial, const QString &title) override
    {
        openCalls.append({owner, reserved, filter, initial, title});
        if (whileOpenShown)
            whileOpenShown();
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
};

// The save dialog: returns a scripted path, or raises the cancel error.
class FakeCommonDialog final : public ICommonDialog
{
public:
    QStringList answers; // empty string = cancel
    int shows = 0;
    QStringList filtersSeen, defaultExtsSeen;

    void ShowSave(QWidget *) override
    {
        ++shows;
        filtersSeen << Filter;
        defaultExtsSeen << DefaultExt;
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        if (answer.isEmpty())
            throw RuntimeError::cancelled();
        FileName = answer;
    }
};

// A speech component that records the calls it gets.
class FakeSpeech final : public ISpeechComponent
{
    Q_OBJECT
public:
    using ISpeechComponent::ISpeechComponent;
    QStringList calls;
    std::optional<RuntimeError> failWith;

    void speak(const QString &text) override { record(QStringLiteral("speak:") + text); }
    void prepare(const QString &text) override { prepared << text; }
    QStringList prepared; // apart from calls: the editor tells it of every change
    void stop() override { record(QStringLiteral("stop")); }
    void showSettingsDialog(QWidget *owner, const QString &title) override
    {
        ownerSeen = owner;
        record(QStringLiteral("settings:") + title);
    }
    QWidget *ownerSeen = nullptr;

private:
    void record(const QString &call)
    {
        if (failWith)
            throw *failWith;
        calls << call;
    }
};

class FakeSpeechFactory final : public ISpeechComponentFactory
{
public:
    bool fail = false;
    int creations = 0;
    QPointer<FakeSpeech> last;

    ISpeechComponent *create(QObject *parent) override
    {
        ++creations;
        if (fail)
            throw RuntimeError::cannotCreateObject();
        last = new FakeSpeech(parent);
        return last;
    }
};
