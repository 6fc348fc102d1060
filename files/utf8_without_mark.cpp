#include "files/utf8_without_mark.h"

#include "files/file_texts.h"

#include "files/utf8.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace broadcast_file {
namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF", 3);
// Bytes beyond ASCII looked at: thousands of characters' worth, where chance could make a
// few code page 932 characters look like UTF-8 but never so many.
constexpr qsizetype kSampleBytes = 4096;

// The sample without a UTF-8 sequence cut off at its end (that is not a fault of the text).
QByteArrayView withoutCutSequence(QByteArrayView sample)
{
    for (qsizetype back = 1; back <= 3 && back <= sample.size(); ++back) {
        const auto c = quint8(sample[sample.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for its lead
        const qsizetype length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? sample.first(sample.size() - back) : sample;
    }
    return sample;
}

// The first byte beyond ASCII, counting the line feeds before it into *lineFeeds. Eight
// bytes at a time: in a file that is ASCII throughout, this looks at every byte.
const char *firstBeyondAscii(const char *p, const char *end, int *lineFeeds)
{
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    constexpr std::uint64_t kLow = 0x7F7F7F7F7F7F7F7Full;
    constexpr std::uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0Aull;
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & kHigh)
            break;
        // A byte of x is zero exactly where the word holds a line feed; its high bit in
        // zeros is then set, and only there (no carries cross bytes below 0x80).
        const std::uint64_t x = word ^ kLineFeeds;
        const std::uint64_t zeros = ~(((x & kLow) + kLow) | x) & kHigh;
        *lineFeeds += std::popcount(zeros);
    }
    for (; p < end && quint8(*p) < 0x80; ++p)
        *lineFeeds += *p == '\n';
    return p;
}

} // namespace

bool Utf8WithoutMarkGuess::feed(QByteArrayView bytes)
{
    if (m_decided)
        return true;
    // A mark can only be told from the first three bytes. Until then they are also taken
    // as text below: the sample is judged only later, by which time a mark is known.
    if (m_start.size() < kUtf8Bom.size()) {
        m_start += bytes.first(std::min(bytes.size(), kUtf8Bom.size() - m_start.size()));
        if (m_start.startsWith(kUtf8Bom)) {
            m_decided = true; // marked: the reader knows it is UTF-8
            return true;
        }
    }
    if (m_sample.isEmpty()) {
        const char *const first = firstBeyondAscii(bytes.begin(), bytes.end(), &m_line);
        bytes = bytes.sliced(first - bytes.begin());
    }
    m_sample += bytes.first(std::min(bytes.size(), kSampleBytes - m_sample.size()));
    if (m_sample.size() >= kSampleBytes)
        decide(false);
    return m_decided;
}

void Utf8WithoutMarkGuess::finish()
{
    if (!m_decided)
        decide(true);
}

void Utf8WithoutMarkGuess::decide(bool atEnd)
{
    m_decided = true;
    if (m_sample.isEmpty())
        return; // ASCII alone reads the same either way
    const QByteArrayView text = atEnd ? QByteArrayView(m_sample) : withoutCutSequence(m_sample);
    std::vector<char16_t> units(std::size_t(text.size()) + 1);
    m_utf8 = !text.isEmpty() && utf8::decodeInto(text, units.data()) >= 0;
}

QString utf8WithoutMarkCause()
{
    return FileTexts::tr("バイト順マークのない UTF-8 のようです。ツールと放送装置はシフトJISとして読みます");
}

} // namespace broadcast_file
