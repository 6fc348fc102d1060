#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names as the system keeps them: bytes, which on this system are meant to be UTF-8
// but need not be (Shift-JIS names from Windows archives and disks). Qt decodes a name that
// is not UTF-8 with replacement characters and encodes it back as other bytes, so a file
// named that way could neither be found nor written under its own name. These two carry
// such a byte as a lone surrogate, U+DC80 to U+DCFF, which no decoded name holds, and
// give the same bytes back: nativeName(nameFromNative(bytes)) == bytes for any bytes.
QString nameFromNative(QByteArrayView bytes);
// For a name that came from the user or from nameFromNative; a name without such
// surrogates gives what QFile::encodeName gives.
QByteArray nativeName(const QString &name);
