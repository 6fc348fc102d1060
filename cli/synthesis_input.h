#pragma once

#include "cli/cli_arguments.h"
#include "cli/synthesis_run.h"

#include <QString>

#include <optional>
#include <vector>

// What speak and reading take alike: the rows --rows picks, and the synthesizer with the
// voice and settings the window's speech would use.

// The 0-based indexes of the rows the ranges pick in a table of count rows, each once and
// in table order; empty ranges pick every row. A range reaching past the last row picks
// nothing and sets the row it asked for in *missing.
std::vector<int> selectRows(const std::vector<RowRange> &ranges, int count, int *missing);

// The same for the table of file, saying on standard error which row it lacks; nothing
// then.
std::optional<std::vector<int>> pickRows(const QString &file, const std::vector<RowRange> &ranges,
                                         int count);

// open_jtalk with the voice (voiceOption, or the one chosen in 音声調整) and the settings of
// 音声調整, one process per core. Says why on standard error and gives nothing when it
// cannot be used: open_jtalk or its dictionary missing, no voice, a voice file that
// cannot be read.
std::optional<SynthesisSetup> findSynthesis(const QString &voiceOption);
