#pragma once

#include <QString>

namespace nimbara {

// A value of a desktop entry's string key: backslash and the control characters it can spell
// escaped, so that a session reading the file gets `value` back.
QString desktopEntryString(const QString& value);

// `program` as the one word of a desktop entry's Exec value: quoted when it holds a reserved
// character (with ", `, $ and \ escaped inside the quotes), "%" doubled, then escaped as a
// string value, so that a session that reads the entry starts exactly `program`.
QString desktopEntryExec(const QString& program);

} // namespace nimbara
