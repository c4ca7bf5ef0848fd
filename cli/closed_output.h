#pragma once

// A command that must finish whatever happens to its standard output (an unattended run piped
// into `head`, a terminal closed under it) keeps running when the reader of its output goes.
namespace nivra::cli {

// Ignores SIGPIPE and makes a write to standard output that fails because nobody reads it any
// more (EPIPE) stop the printing: from then on, what the command prints is dropped, and one line
// on standard error ("nivra-cli <command>: standard output was closed; ...") says so. Call it
// before the command prints anything.
void keepRunningWhenOutputCloses(const char* command);

} // namespace nivra::cli
