#pragma once

namespace nimbara::cli {

// nimbara-cli's exit status, as its --help documents it.
enum ExitCode : int {
    done = 0,
    failed = 1, // an operation failed; standard error says why
    usage = 2,  // the command line cannot be run, or the launcher runs
};

} // namespace nimbara::cli
