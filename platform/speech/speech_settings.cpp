#include "platform/speech/speech_settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <cmath>

namespace {

const QString kEngineKey = QStringLiteral("speech/ttsEngine");
const QString kVoiceKey = QStringLiteral("speech/voice");
const QString kSpeedKey = QStringLiteral("speech/speed");
const QString kHalfTonesKey = QStringLiteral("speech/halfTones");
const QString kVolumeKey = QStringLiteral("speech/volumeDb");

template<typename T>
T bounded(const QVariant &value, T fallback, T low, T high)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return fallback;
    return static_cast<T>(std::clamp(number, double(low), double(high)));
}

} // namespace

SpeechSettings SpeechSettings::load(const QString &file)
{
    const QSettings store(file, QSettings::IniFormat);
    SpeechSettings s;
    s.ttsEngine = store.value(kEngineKey).toString();
    s.voice = store.value(kVoiceKey).toString();
    s.speed = bounded(store.value(kSpeedKey, s.speed), s.speed, kMinSpeed, kMaxSpeed);
    s.halfTones = bounded(store.value(kHalfTonesKey, s.halfTones), s.halfTones, kMinHalfTones,
                          kMaxHalfTones);
    s.volumeDb = bounded(store.value(kVolumeKey, s.volumeDb), s.volumeDb, kMinVolumeDb,
                         kMaxVolumeDb);
    return s;
}

bool SpeechSettings::save(const QString &file) const
{
    QSettings store(file, QSettings::IniFormat);
    store.setValue(kEngineKey, ttsEngine);
    store.setValue(kVoiceKey, voice);
    store.setValue(kSpeedKey, speed);
    store.setValue(kHalfTonesKey, halfTones);
    store.setValue(kVolumeKey, volumeDb);
    store.sync();
    return store.status() == QSettings::NoError;
}

QString SpeechSettings::defaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/broadcast-data-tool/speech.ini");
}

double SpeechSettings::ttsRate() const
{
    // Doubling the speed is the top of Qt's scale, halving it the bottom.
    return std::clamp(std::log2(speed), -1.0, 1.0);
}

double SpeechSettings::ttsPitch() const
{
    return std::clamp(halfTones / 12.0, -1.0, 1.0);
}

double SpeechSettings::ttsVolume() const
{
    return std::clamp(std::pow(10.0, volumeDb / 20.0), 0.0, 1.0);
}
