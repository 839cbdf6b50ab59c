// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace qif2ldx::app::cli {

// What the command line says to a newcomer's slips, before the parser has its own word.

// The first argument when it is no command: "-" alone is for a command to read; a file given
// alone (what a file manager passes) reaches the command line only without a display, and is
// told so; a file given with other arguments is no command; a folder is no QIF file; a name
// that names nothing but looks like a file (it holds a "." or a "/") is "no such file", naming
// `qif2ldx convert`; anything else is an unknown command, with the one meant when it looks like
// a slip. Empty when the first argument is a command or an option.
[[nodiscard]] std::string FirstArgumentAdvice(int argc, const char* const* argv,
                                              const CLI::App& objRoot);

// The first option that neither the command it follows nor the program knows, with the one
// meant when it looks like a slip: "--dryrun: did you mean --dry-run?", "-V: did you mean
// --version?"; otherwise "unknown option --foo; see qif2ldx convert --help". The values of
// options that take one, and everything after "--", are not options. Empty when every option
// is known.
[[nodiscard]] std::string UnknownOptionAdvice(int argc, const char* const* argv,
                                              const CLI::App& objRoot);

// "qif2ldx convert --help" for the command argv names, "qif2ldx --help" otherwise: where to
// look after a usage error.
[[nodiscard]] std::string HelpHint(int argc, const char* const* argv, const CLI::App& objRoot);

} // namespace qif2ldx::app::cli
