#include "platform/speech/dialog/speech_settings_dialog.h"

#include "platform/runtime/runtime_error.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

SpeechSettingsDialog::SpeechSettingsDialog(QWidget *owner, const QString &title,
                                           const SpeechSettings &initial,
                                           SpeechDialogSources sources)
    : QDialog(owner), m_initial(initial), m_sources(std::move(sources)),
      m_engine(new QComboBox(this)), m_voice(new QComboBox(this)),
      m_speed(new QDoubleSpinBox(this)), m_pitch(new QSpinBox(this)),
      m_volume(new QSpinBox(this)), m_status(new QLabel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(title);
    setModal(true);

    m_engine->setObjectName(QStringLiteral("engineCombo"));
    for (const SpeechChoiceItem &engine : std::as_const(m_sources.engines))
        m_engine->addItem(engine.label, engine.id);
    const int engineIndex = m_engine->findData(initial.ttsEngine);
    if (m_sources.enginesAreTts && engineIndex >= 0)
        m_engine->setCurrentIndex(engineIndex);
    m_engine->setEnabled(m_engine->count() > 1);

    m_voice->setObjectName(QStringLiteral("voiceCombo"));
    fillVoices(initial.voice);
    connect(m_engine, &QComboBox::currentIndexChanged, this,
            [this] { fillVoices(m_voice->currentData().toString()); });

    m_speed->setObjectName(QStringLiteral("speedSpin"));
    m_speed->setRange(SpeechSettings::kMinSpeed, SpeechSettings::kMaxSpeed);
    m_speed->setDecimals(1);
    m_speed->setSingleStep(0.1);
    m_speed->setSuffix(QStringLiteral(" 倍"));
    m_speed->setValue(initial.speed);

    m_pitch->setObjectName(QStringLiteral("pitchSpin"));
    m_pitch->setRange(SpeechSettings::kMinHalfTones, SpeechSettings::kMaxHalfTones);
    m_pitch->setSuffix(QStringLiteral(" 半音"));
    m_pitch->setValue(initial.halfTones);

    m_volume->setObjectName(QStringLiteral("volumeSpin"));
    m_volume->setRange(SpeechSettings::kMinVolumeDb, SpeechSettings::kMaxVolumeDb);
    m_volume->setSuffix(QStringLiteral(" dB"));
    m_volume->setValue(initial.volumeDb);

    auto *tryButton = new QPushButton(QStringLiteral("試聴"), this);
    tryButton->setObjectName(QStringLiteral("tryButton"));
    connect(tryButton, &QPushButton::clicked, this, &SpeechSettingsDialog::tryOut);

    m_status->setObjectName(QStringLiteral("statusLabel"));
    m_status->setWordWrap(true);

    m_buttons->setObjectName(QStringLiteral("buttonBox"));
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("エンジン:"), m_engine);
    form->addRow(QStringLiteral("声:"), m_voice);
    form->addRow(QStringLiteral("話す速さ:"), m_speed);
    form->addRow(QStringLiteral("声の高さ:"), m_pitch);
    form->addRow(QStringLiteral("音量:"), m_volume);
    form->addRow(QString(), tryButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(m_buttons);
}

SpeechSettingsDialog::~SpeechSettingsDialog() = default;

SpeechSettings SpeechSettingsDialog::settings() const
{
    SpeechSettings s = m_initial;
    if (m_sources.enginesAreTts)
        s.ttsEngine = m_engine->currentData().toString();
    s.voice = m_voice->currentData().toString();
    s.speed = m_speed->value();
    s.halfTones = m_pitch->value();
    s.volumeDb = m_volume->value();
    return s;
}

void SpeechSettingsDialog::fillVoices(const QString &selected)
{
    m_voice->clear();
    const QString engine = m_engine->currentData().toString();
    const QList<SpeechChoiceItem> voices =
        m_sources.voices ? m_sources.voices(engine) : QList<SpeechChoiceItem>{};
    for (const SpeechChoiceItem &voice : voices)
        m_voice->addItem(voice.label, voice.id);
    const int index = m_voice->findData(selected);
    m_voice->setCurrentIndex(index >= 0 ? index : 0);
    m_voice->setEnabled(m_voice->count() > 0);
}

void SpeechSettingsDialog::showFailure(const QString &description)
{
    m_status->setText(description);
}

void SpeechSettingsDialog::tryOut()
{
    m_status->clear();
    if (!m_sources.tryOut)
        return;
    try {
        m_sources.tryOut(settings());
    } catch (const RuntimeError &error) {
        // The dialog stays open; the reason is shown in it rather than ending the modal loop.
        showFailure(error.description());
    }
}
