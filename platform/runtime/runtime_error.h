#pragma once

#include <QString>
#include <exception>

// A failure reported by a control or an outside component, carrying the platform's error
// number and its description. Handlers let it travel up to the window's error boundary,
// which shows it and keeps the window running.
class RuntimeError : public std::exception
{
public:
    enum Number : int {
        OutOfMemory = 7,
        Overflow = 6,
        FileNotFound = 53,
        PathFileAccessError = 75,
        CancelError = 32755,
    };

    RuntimeError(int number, QString description);

    static RuntimeError overflow();
    static RuntimeError cancelled();

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};
