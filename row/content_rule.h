#pragma once

#include <QStringView>

// The characters 確定 refuses in an announcement's content: tab, ideographic space, space
// and comma, which the equipment takes for separators. Kept apart from the editor so that
// tools checking a file apply the very rule the window applies when a row is confirmed.
//
// Returns the index (in UTF-16 units, from 0) of the first such character, or -1.
inline qsizetype firstRefusedContentCharacter(QStringView content)
{
    const char16_t *const units = content.utf16();
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = units[i];
        // One comparison for nearly every character: the ASCII three are all up to ','.
        if (c <= u',' ? c == u'\t' || c == u' ' || c == u',' : c == u'\u3000')
            return i;
    }
    return -1;
}
