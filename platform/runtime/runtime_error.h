#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// A failure reported by a control or an outside component, carrying the platform's error
// number and its description. Handlers let it travel up to the window's error boundary,
// which shows it and keeps the window running.
//
// Every error the tool raises is made here, so each number keeps one meaning and one
// standard description; a few take a description of what actually went wrong instead.
class RuntimeError : public std::exception
{
public:
    enum Number : int {
        InvalidProcedureCall = 5,
        Overflow = 6,
        OutOfMemory = 7,
        FileNotFound = 53,
        PathFileAccessError = 75,
        ObjectNotSet = 91,
        InvalidPropertyValue = 380,
        CannotCreateObject = 429,
        CancelError = 32755,
        IndexOutOfBounds = 35600,
        ControlRemoved = 35605,
    };

    RuntimeError(int number, QString description);

    // Speech that failed, with what failed and what to do.
    static RuntimeError invalidProcedureCall(const QString &description);
    static RuntimeError overflow();
    static RuntimeError outOfMemory();
    static RuntimeError pathFileAccess(const QString &description);
    static RuntimeError objectNotSet();
    static RuntimeError invalidPropertyValue();
    static RuntimeError cannotCreateObject(const QString &description = QString());
    static RuntimeError cancelled();
    static RuntimeError indexOutOfBounds();
    static RuntimeError controlRemoved();

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};
