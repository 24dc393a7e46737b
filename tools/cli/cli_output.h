#pragma once

#include "text/copy_key.h"
#include "text/nimbara_copy.h"
#include "text/nimbara_locale.h"

#include <QString>

namespace nimbara::cli {

// What nimbara-cli says: results on standard output, problems and progress on standard error,
// in UTF-8, every text from the text table in one language.
class CliOutput {
public:
    explicit CliOutput(NimbaraLocale locale) : locale_(locale) {}

    NimbaraLocale locale() const { return locale_; }
    void setLocale(NimbaraLocale locale) { locale_ = locale; }
    QString text(CopyKey key, const CopyValues& values = {}) const;

    // A line on standard output.
    void say(CopyKey key, const CopyValues& values = {}) const;
    void print(const QString& text) const; // written as it is
    // A line on standard error.
    void complain(CopyKey key, const CopyValues& values = {}) const;
    void complain(const QString& line) const;
    // Raw bytes on standard error (a progress line being redrawn).
    void progress(const QString& text) const;

    // Whether standard error is a terminal, where progress lines are redrawn in place.
    static bool errorsGoToTerminal();

private:
    NimbaraLocale locale_;
};

} // namespace nimbara::cli
