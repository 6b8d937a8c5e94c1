#pragma once
// kx30ctl's commands: each opens the keyboard, does its one job and returns an exit code.
// Results go to stdout, errors to stderr in plain words.

#include "CtlArgs.h"

namespace kx30ctl {

// Runs a parsed invocation (help and version included).
int run(const Invocation& invocation);

// The default backup of `write PROFILE`: PROFILE with "-backup" before its extension
// ("keys.pro" -> "keys-backup.pro"; "keys" -> "keys-backup.pro").
std::string defaultBackupPath(const std::string& profile);

}  // namespace kx30ctl
