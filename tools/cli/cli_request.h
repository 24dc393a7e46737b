#pragma once

#include "text/copy_key.h"
#include "text/nimbara_copy.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace nimbara::cli {

enum class Command { list, install, update, rollback, open, remove, status };

// The command's name as typed ("list", "install", ...).
QString commandName(Command command);

// What the command line asks for, once it is known to be well-formed.
struct Request {
    enum class Mode { run, help, version };
    Mode mode = Mode::run;
    Command command = Command::list;
    QStringList appIDs; // as typed, in order, without duplicates
    bool json = false;
    bool all = false;
    bool withData = false;
};

// A command line that cannot be run: the message says why.
struct UsageError {
    CopyKey key;
    CopyValues values;
};

// Reads the arguments (the program name first, as QCoreApplication::arguments() gives them).
// Unknown commands and options, an option that does not go with the command, a missing, empty or
// superfluous app id are usage errors. -h/--help and -v/--version win over everything else.
std::variant<Request, UsageError> parseCommandLine(const QStringList& arguments);

} // namespace nimbara::cli
