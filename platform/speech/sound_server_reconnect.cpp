#include "platform/speech/sound_server_reconnect.h"

#include <QCoreApplication>
#include <QEvent>

#include <cstring>

namespace {

// Qt's own attempt comes three seconds after the loss; asking again before it has been
// made would connect the layer twice.
constexpr qint64 kOwnRetryMs = 3500;
constexpr char kLayerClass[] = "QPulseAudioEngine";

} // namespace

SoundServerReconnect::SoundServerReconnect(QObject *parent) : QObject(parent) {}

SoundServerReconnect *SoundServerReconnect::instance()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return nullptr;
    auto *watch = app->findChild<SoundServerReconnect *>(QString(), Qt::FindDirectChildrenOnly);
    if (!watch) {
        watch = new SoundServerReconnect(app);
        // Sees every event of the application's thread, where the sound layer lives.
        app->installEventFilter(watch);
    }
    return watch;
}

bool SoundServerReconnect::eventFilter(QObject *watched, QEvent *event)
{
    // The layer's only event: the queued call that tells it the server went away.
    if (event->type() == QEvent::MetaCall
        && std::strcmp(watched->metaObject()->className(), kLayerClass) == 0) {
        if (!m_layers.contains(watched))
            m_layers.append(watched);
        m_sinceLoss.start();
    }
    return false;
}

bool SoundServerReconnect::reconnect()
{
    m_layers.removeAll(nullptr);
    if (m_layers.isEmpty() || (m_sinceLoss.isValid() && m_sinceLoss.elapsed() < kOwnRetryMs))
        return false;
    bool asked = false;
    for (const QPointer<QObject> &layer : std::as_const(m_layers))
        asked = QMetaObject::invokeMethod(layer, "prepare", Qt::DirectConnection) || asked;
    // A connection that failed again counts as a new loss: the layer may be about to try
    // by itself once more.
    m_sinceLoss.start();
    return asked;
}
