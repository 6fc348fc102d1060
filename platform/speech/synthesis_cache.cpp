#include "platform/speech/synthesis_cache.h"

QStringList SynthesisCache::key(const QStringList &arguments, const QString &piece)
{
    return QStringList(arguments) << piece;
}

const WavAudio *SynthesisCache::find(const QStringList &key)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key == key) {
            m_entries.splice(m_entries.begin(), m_entries, it);
            return &m_entries.front().audio;
        }
    }
    return nullptr;
}

void SynthesisCache::insert(const QStringList &key, const WavAudio &audio)
{
    if (audio.pcm.size() > kMaxBytes)
        return;
    if (find(key)) {
        m_entries.front().audio = audio;
        return;
    }
    m_entries.push_front({key, audio});
    qsizetype bytes = 0;
    int count = 0;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        bytes += it->audio.pcm.size();
        if (++count > kMaxPieces || bytes > kMaxBytes)
            it = m_entries.erase(it);
        else
            ++it;
    }
}
