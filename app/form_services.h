#pragma once

#include <QString>

#include <functional>

class IMessageBox;
class IApiLib;
class ICommonDialog;
class IInputMethod;
class ISpeechComponentFactory;

// The outside components the window talks to. Left empty, the window uses the real Qt
// ones (and no speech engine); tests put scripted stand-ins here.
struct FormServices
{
    IMessageBox *messageBox = nullptr;
    IApiLib *apiLib = nullptr;
    ICommonDialog *commonDialog = nullptr;
    ISpeechComponentFactory *speechFactory = nullptr;
    // Left empty: the input method that runs on the desktop, if any.
    IInputMethod *inputMethod = nullptr;
    // Ends the program at once (File > Exit), without the close question.
    std::function<void()> endProgram;
    // Runs Form_Load just after the window's first paint rather than in the constructor.
    // Finding a speech engine can take more than a second (speech-dispatcher lists every
    // voice it has before it answers), and the window must appear at once. Until then the
    // speech buttons are disabled, so no click can reach them before the engine exists.
    bool loadAfterFirstPaint = false;
    // Where the recovery journal of this window is kept, and where journals of windows
    // that died are looked for at start-up. Empty: no journal.
    QString recoveryFolder;
};
