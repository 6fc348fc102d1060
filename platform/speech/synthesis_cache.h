#pragma once

#include "platform/speech/speech_wav.h"

#include <QStringList>

#include <list>

// Audio made ahead of 再生: a few recent pieces, each under what made it (the program's
// arguments, which name the voice and the settings, and the piece's text), so that a
// changed text or a changed setting never finds another's audio. Bounded in count and in
// bytes; the piece used longest ago goes first.
class SynthesisCache
{
public:
    static constexpr int kMaxPieces = 8;
    static constexpr qsizetype kMaxBytes = 16 << 20;

    static QStringList key(const QStringList &arguments, const QString &piece);

    const WavAudio *find(const QStringList &key);
    void insert(const QStringList &key, const WavAudio &audio);
    void clear() { m_entries.clear(); }

private:
    struct Entry
    {
        QStringList key;
        WavAudio audio;
    };
    std::list<Entry> m_entries; // most recently used first
};
