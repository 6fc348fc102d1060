// broadcast-data: the window tool's command-line companion, for many files at once.
#include "cli/check_command.h"
#include "cli/cli_arguments.h"
#include "cli/cli_messages.h"
#include "cli/convert_command.h"
#include "cli/reading_command.h"
#include "cli/speak_command.h"
#include "files/native_name.h"
#include "files/removal_on_signal.h"
#include "platform/runtime/application_identity.h"

#include <QCoreApplication>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A standard stream closed by the caller (">&-") would go to the first file opened next,
// Qt's own event descriptor among them, and output meant for it would vanish there. Each
// closed one gets /dev/null opened the other way round, so that using it fails as using a
// closed stream should.
void keepStandardStreamsReserved()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
    }
}

int run(const Invocation &invocation)
{
    switch (invocation.action) {
    case Invocation::Action::Help:
        CliMessages::printOut(invocation.message);
        return 0;
    case Invocation::Action::Version:
        CliMessages::printOut(QCoreApplication::applicationName() + u' '
                              + QCoreApplication::applicationVersion());
        return 0;
    case Invocation::Action::UsageError:
        CliMessages::complain(invocation.message);
        CliMessages::printErr(CliMessages::tryHelp());
        return 2;
    case Invocation::Action::Run:
        break;
    }
    switch (invocation.command) {
    case Invocation::Command::Check:
        return runCheck(invocation.files, invocation.strict);
    case Invocation::Command::Convert:
        return runConvert(invocation.input, invocation.output, invocation.unmarked);
    case Invocation::Command::Speak:
        return runSpeak(invocation.input, invocation.output, invocation.rows, invocation.voice);
    case Invocation::Command::Reading:
        return runReading(invocation.files, invocation.rows, invocation.voice);
    case Invocation::Command::None:
        break;
    }
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    keepStandardStreamsReserved();
    // Ended by a signal in the middle of a save, a run leaves no temporary file behind.
    removal_on_signal::install();
    QCoreApplication app(argc, argv);
    // Its own name and the project's version; the user's settings shared with the window.
    setApplicationIdentity(QStringLiteral("broadcast-data"));
    CliMessages::installTranslations(app);

    // The arguments as given: a file name that is not UTF-8 must reach the file as the
    // bytes it is (QCoreApplication::arguments() would replace those bytes).
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << nameFromNative(argv[i]);
    const int status = run(parseArguments(arguments));
    // What was printed must have arrived: a report lost on a full disk is no success. A
    // failed command has already said why it failed.
    if (const int error = CliMessages::finishStandardOutput(); error != 0 && status == 0) {
        CliMessages::complain(CliMessages::cannotWriteStandardOutput(error));
        return 1;
    }
    return status;
}
