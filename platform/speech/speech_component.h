#pragma once

#include <QObject>
#include <QString>

class QWidget;

// The speech-synthesis component the speech buttons drive. Every operation either works
// or throws RuntimeError; the window's error boundary shows such a failure. Speech goes on
// after speak() has returned, and what fails then is reported through failed.
class ISpeechComponent : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ISpeechComponent() override = default;

    // Starts speaking and returns at once; the sound goes on while the window keeps
    // taking events. Empty text is silence, not an error.
    virtual void speak(const QString &text) = 0;
    // Cuts off whatever is being spoken; does nothing when silent.
    virtual void stop() = 0;
    // The voice-settings dialog, modal to owner, with the given title.
    virtual void showSettingsDialog(QWidget *owner, const QString &title) = 0;
    // The text speak() is likely to be given next (the editor's, as it changes): a
    // component may make its first sound ahead, in the background, once the text has
    // stayed the same a moment. Nothing it does here is ever reported; by default nothing.
    virtual void prepare(const QString &text) { Q_UNUSED(text); }

signals:
    // Speech failed after speak() had returned: the synthesizer ended with an error or
    // wrote no audio, or the sound device went away. At most once per speak(), with a
    // run-time error number and a description that tells the operator what to do. A
    // failing sample of the voice dialog is shown in the dialog instead.
    void failed(int number, const QString &description);
};

// Creates the component. Throws RuntimeError when no speech engine can be had.
class ISpeechComponentFactory
{
public:
    virtual ~ISpeechComponentFactory() = default;
    virtual ISpeechComponent *create(QObject *parent) = 0;
};
