// Command line of the program: the run options that extend the plain demo
// (no arguments: the demo exactly as built, in a 256 x 256 window).
// The options and how frames are numbered: platform/options.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/options.h"

// cli_parse's result when the program should run.
enum { CLI_RUN = -1 };
// Exit status when an option cannot be stored for want of memory.
enum { CLI_NO_MEMORY = RUN_NO_MEMORY };

// Parses the arguments after argv[0] into a cleared `cli`. Returns CLI_RUN, or
// the exit status after printing: 0 for --help and --version (to out), 2 for an
// unknown or malformed option (usage line to err).
int cli_parse(RUN_OPTIONS *cli, int argc, char **argv, FILE *out, FILE *err);
// Frees what the record owns and clears it.
void cli_free(RUN_OPTIONS *cli);
// Appends the keys of a "F:NAME,F:NAME" list; 0 when the list is malformed.
int cli_add_keys(RUN_OPTIONS *cli, const char *list);
// Virtual-key code of a key name (SPACE, ESC, A..Z, 0..9, F1..F12, ENTER, ...),
// case-insensitive, of `len` characters; 0 for an unknown name.
int32_t cli_key_code(const char *name, size_t len);
// The one-line usage and the full help text.
void cli_usage(FILE *f);
void cli_help(FILE *f);
