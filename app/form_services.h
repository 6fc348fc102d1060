#pragma once

#include <functional>

class IMessageBox;
class IApiLib;
class ICommonDialog;
class ISpeechComponentFactory;

// The outside components the window talks to. Left empty, the window uses the real Qt
// ones (and no speech engine); tests put scripted stand-ins here.
struct FormServices
{
    IMessageBox *messageBox = nullptr;
    IApiLib *apiLib = nullptr;
    ICommonDialog *commonDialog = nullptr;
    ISpeechComponentFactory *speechFactory = nullptr;
    // Ends the program at once (File > Exit), without the close question.
    std::function<void()> endProgram;
};
