// What a command-line program asks of its process: its arguments as UTF-8, standard streams
// that pass bytes through unchanged, whether standard error is a terminal, how many cores it
// may use, and shell wildcard matching.
#pragma once

#include <string>
#include <vector>

namespace vaskel::platform {

// The arguments after the program's name. On Windows they come from the UTF-16 command line,
// so names outside the ANSI code page survive.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard input and output in binary mode (no "\r\n" for "\n"); a console shows UTF-8.
void PrepareStandardStreams();

bool StandardErrorIsTerminal();

int UsableCores();

// Shell wildcards as fnmatch(3) with no flags: '*', '?', bracket expressions and '\' escapes;
// letter case counts and '*' also matches '/'.
bool GlobMatches(const std::string& pattern, const std::string& text);

}  // namespace vaskel::platform
