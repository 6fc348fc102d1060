#pragma once

#include <QStringView>

// The numeric value of a signal text, read the way the original runtime's leading-number
// parse reads it: spaces, tabs and line feeds are removed wherever they stand; then the
// longest leading number is taken (optional sign, digits with at most one period and an
// optional exponent E or D, or a &H / &O literal); a text that does not begin with a
// number is 0.
double NumericValue(QStringView text);
