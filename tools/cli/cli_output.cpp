#include "cli_output.h"

#include <cstdio>
#include <unistd.h>

namespace nimbara::cli {

namespace {

void write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

QString CliOutput::text(CopyKey key, const CopyValues& values) const {
    return NimbaraCopy::text(key, locale_, values);
}

void CliOutput::say(CopyKey key, const CopyValues& values) const {
    print(text(key, values) + u'\n');
}

void CliOutput::print(const QString& text) const {
    write(stdout, text);
}

void CliOutput::complain(CopyKey key, const CopyValues& values) const {
    complain(text(key, values));
}

void CliOutput::complain(const QString& line) const {
    write(stderr, line + u'\n');
}

void CliOutput::progress(const QString& text) const {
    write(stderr, text);
}

bool CliOutput::errorsGoToTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace nimbara::cli
