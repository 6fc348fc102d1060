#pragma once

#include <QString>

// One announcement: the unit of a table row, of a file line, of the copy buffer and of
// the swap buffer.
struct BroadcastRow
{
    QString Content;
    QString FareSignal;
    QString SoundSignal;

    friend bool operator==(const BroadcastRow &, const BroadcastRow &) = default;
};
