#include "cli_request.h"

#include <QCommandLineParser>
#include <array>
#include <utility>

namespace nimbara::cli {

namespace {

using namespace Qt::StringLiterals;

constexpr std::array kCommands = {
    std::pair{Command::list, "list"},     std::pair{Command::install, "install"},
    std::pair{Command::update, "update"}, std::pair{Command::rollback, "rollback"},
    std::pair{Command::open, "open"},     std::pair{Command::remove, "remove"},
    std::pair{Command::status, "status"},
};

std::optional<Command> commandNamed(const QString& name) {
    for (const auto& [command, text] : kCommands) {
        if (name == QLatin1StringView(text)) {
            return command;
        }
    }
    return std::nullopt;
}

// How many app ids a command takes.
enum class Arity { none, one, some, someOrAll };

Arity arityOf(Command command) {
    switch (command) {
    case Command::list:
    case Command::status:
        return Arity::none;
    case Command::install:
        return Arity::some;
    case Command::update:
        return Arity::someOrAll;
    case Command::rollback:
    case Command::open:
    case Command::remove:
        return Arity::one;
    }
    return Arity::none;
}

UsageError usage(CopyKey key, CopyValues values = {}) {
    return {key, std::move(values)};
}

std::optional<UsageError> checkIDs(const Request& request) {
    const QString name = commandName(request.command);
    const qsizetype count = request.appIDs.size();
    for (const QString& id : request.appIDs) {
        if (id.trimmed().isEmpty()) {
            return usage(CopyKey::cliEmptyID);
        }
    }
    switch (arityOf(request.command)) {
    case Arity::none:
        if (count > 0) {
            return usage(CopyKey::cliNoIDs, {{u"name"_s, name}});
        }
        break;
    case Arity::one:
        if (count > 1) {
            return usage(CopyKey::cliOneID, {{u"name"_s, name}});
        }
        [[fallthrough]];
    case Arity::some:
        if (count == 0) {
            return usage(CopyKey::cliMissingID, {{u"name"_s, name}});
        }
        break;
    case Arity::someOrAll:
        if (request.all && count > 0) {
            return usage(CopyKey::cliUpdateAllWithIDs);
        }
        if (!request.all && count == 0) {
            return usage(CopyKey::cliUpdateWhich);
        }
        break;
    }
    return std::nullopt;
}

} // namespace

QString commandName(Command command) {
    for (const auto& [candidate, text] : kCommands) {
        if (candidate == command) {
            return QString::fromLatin1(text);
        }
    }
    return {};
}

std::variant<Request, UsageError> parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(QStringList{u"v"_s, u"version"_s});
    const QCommandLineOption json(u"json"_s);
    const QCommandLineOption all(u"all"_s);
    const QCommandLineOption withData(u"with-data"_s);
    parser.addOptions({help, version, json, all, withData});
    parser.addPositionalArgument(u"command"_s, {});
    parser.parse(arguments);

    Request request;
    if (parser.isSet(help)) {
        request.mode = Request::Mode::help;
        return request;
    }
    if (parser.isSet(version)) {
        request.mode = Request::Mode::version;
        return request;
    }
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        const QString dashes = unknown.first().size() == 1 ? u"-"_s : u"--"_s;
        return usage(CopyKey::cliUnknownOption, {{u"value"_s, dashes + unknown.first()}});
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return usage(CopyKey::cliNoCommand);
    }
    const QString typed = positional.takeFirst();
    const std::optional<Command> command = commandNamed(typed);
    if (!command) {
        return usage(CopyKey::cliUnknownCommand, {{u"value"_s, typed}});
    }
    request.command = *command;
    request.json = parser.isSet(json);
    request.all = parser.isSet(all);
    request.withData = parser.isSet(withData);

    const std::pair<bool, QString> misplaced[] = {
        {request.json && request.command != Command::list, u"--json"_s},
        {request.all && request.command != Command::update, u"--all"_s},
        {request.withData && request.command != Command::remove, u"--with-data"_s},
    };
    for (const auto& [wrong, option] : misplaced) {
        if (wrong) {
            return usage(CopyKey::cliOptionNotForCommand,
                         {{u"value"_s, option}, {u"name"_s, typed}});
        }
    }
    for (const QString& id : positional) {
        if (!request.appIDs.contains(id)) {
            request.appIDs.append(id);
        }
    }
    if (std::optional<UsageError> error = checkIDs(request)) {
        return *error;
    }
    return request;
}

} // namespace nimbara::cli
