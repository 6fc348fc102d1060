#include "platform/speech/speech_settings.h"

#include "platform/runtime/runtime_error.h"

#include <QCoreApplication>
#include <QSettings>

#include <cmath>
#include <memory>

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

SpeechSettings read(const QSettings &store)
{
    using S = SpeechSettings;
    S s;
    s.ttsEngine = store.value(kEngineKey).toString();
    s.voice = store.value(kVoiceKey).toString();
    s.speed = bounded(store.value(kSpeedKey, s.speed), s.speed, S::kMinSpeed, S::kMaxSpeed);
    s.halfTones = bounded(store.value(kHalfTonesKey, s.halfTones), s.halfTones,
                          S::kMinHalfTones, S::kMaxHalfTones);
    s.volumeDb = bounded(store.value(kVolumeKey, s.volumeDb), s.volumeDb, S::kMinVolumeDb,
                         S::kMaxVolumeDb);
    return s;
}

bool write(const SpeechSettings &s, QSettings &store)
{
    store.setValue(kEngineKey, s.ttsEngine);
    store.setValue(kVoiceKey, s.voice);
    store.setValue(kSpeedKey, s.speed);
    store.setValue(kHalfTonesKey, s.halfTones);
    store.setValue(kVolumeKey, s.volumeDb);
    store.sync();
    return store.status() == QSettings::NoError;
}

// The user's store: an INI file of its own beside the program's, so that what a user
// edits by hand is only this.
std::unique_ptr<QSettings> userStore()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QCoreApplication::organizationName(),
                                       QStringLiteral("speech"));
}

} // namespace

SpeechSettings SpeechSettings::load()
{
    return read(*userStore());
}

void SpeechSettings::saveOrThrow() const
{
    const auto store = userStore();
    if (!write(*this, *store))
        throw RuntimeError::pathFileAccess(
            QStringLiteral("音声の設定を保存できません: %1").arg(store->fileName()));
}

QString SpeechSettings::defaultFile()
{
    return userStore()->fileName();
}

SpeechSettings SpeechSettings::load(const QString &file)
{
    return read(QSettings(file, QSettings::IniFormat));
}

bool SpeechSettings::save(const QString &file) const
{
    QSettings store(file, QSettings::IniFormat);
    return write(*this, store);
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
