#pragma once

class QWidget;

// The desktop's input method, as a field that wants Japanese asks for it: switched on, in
// full-width hiragana, for the field that has just taken the keyboard. Each input method
// has an adapter of its own (Fcitx 5, IBus); where none runs, nothing is done.
//
// On Windows the same request is two IMM32 calls on the field's input context:
// ImmSetOpenStatus(context, TRUE), then ImmSetConversionStatus(context,
// IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, sentence mode) with the sentence mode as it was.
class IInputMethod
{
public:
    virtual ~IInputMethod() = default;
    // Never blocks and never reports: an input method that is busy, gone or refuses leaves
    // the field as it was, and the operator switches by hand as usual.
    virtual void switchOnHiragana(QWidget *field) = 0;
};

// No input method runs, or Qt talks to none that can be asked.
class NoInputMethod final : public IInputMethod
{
public:
    void switchOnHiragana(QWidget *) override {}
};
