#pragma once

#include "cli/cli_arguments.h"

#include <QString>

// The text --help prints: for the program as a whole, or for one command.
QString helpText(Invocation::Command command);
