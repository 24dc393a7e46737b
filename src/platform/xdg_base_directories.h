#pragma once

#include <QString>

namespace nimbara {

// The XDG base directories of the current user: the variable's value when it is set to an
// absolute path (relative values are invalid and ignored), else the default under the home
// folder. Read from the environment at each call.
QString xdgDataHome();   // $XDG_DATA_HOME, else ~/.local/share
QString xdgCacheHome();  // $XDG_CACHE_HOME, else ~/.cache
QString xdgConfigHome(); // $XDG_CONFIG_HOME, else ~/.config
QString xdgStateHome();  // $XDG_STATE_HOME, else ~/.local/state

} // namespace nimbara
