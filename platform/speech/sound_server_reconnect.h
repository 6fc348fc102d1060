#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>

// Qt 6.4's PulseAudio layer loses the sound server when it goes away (a restart, a crash,
// a user switching sessions) and tries once, three seconds later, to connect again. A
// server that is back by then is used again; one that comes back later never is: every
// output then fails to open until the program is restarted. Nothing public reaches that
// layer, but it is a QObject that receives a queued call when the server goes away: this
// watch notes it then, and, when an output later fails to open because there is no
// connection, asks it to connect again.
class SoundServerReconnect : public QObject
{
    Q_OBJECT
public:
    // The application's watch, made and installed on first use; null without an
    // application object.
    static SoundServerReconnect *instance();

    // Called when an output failed to open for want of a connection to the server. Asks
    // Qt's sound layer to connect again, unless it lost the server so lately that it is
    // still about to try by itself. Returns whether it asked: the output may then be
    // opened again.
    bool reconnect();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit SoundServerReconnect(QObject *parent);

    QList<QPointer<QObject>> m_layers; // Qt 6.4 makes two
    QElapsedTimer m_sinceLoss;
};
