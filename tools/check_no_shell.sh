#!/usr/bin/env bash
# Fails when product code starts a process any other way than through the
# program's own shell-free starter (model/StartWithoutShell.cpp). The
# framework's revealToUser, startAsProcess, launchInDefaultBrowser and
# Process::openDocument, its HyperlinkButton (which opens its address through
# them when clicked), a ChildProcess, system() and popen() may each hand a
# path or an address to /bin/sh, where a name such as "pack $(touch x)" runs
# a command.
set -uo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
cd "$root" || exit 2

starter=model/StartWithoutShell.cpp
pattern='revealToUser|startAsProcess|launchInDefaultBrowser|HyperlinkButton|Process::openDocument|ChildProcess|(^|[^A-Za-z0-9_.>])(std::)?(system|popen|execl|execlp|execle|execv|execvp|execve|execvpe|fexecve|posix_spawnp?|fork|vfork)[[:space:]]*\(|/bin/sh'

source "$root/tools/forbid_outside.sh"
forbid_outside "$starter" \
    "Only $starter may start a process; start programs with startProgramWithoutShell, openWithoutShell or openAddressWithoutShell:" "$pattern"
exit $status
