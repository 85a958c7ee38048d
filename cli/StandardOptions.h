#pragma once
#include <optional>
#include <string>

namespace qzr::cli {

// What an executable tells about itself.
struct TProgramInfo {
    const char* name;  // as installed, e.g. "qzr-hidinfo"
    const char* usage; // the --help text, ending in a newline
};

// The text for --help (or -h) or --version, whichever comes first before "--"; nothing when
// neither was asked for. Every other argument is left to the executable (and to Qt).
std::optional<std::string> StandardOptionAnswer(int argc, const char* const* argv,
                                                const TProgramInfo& info);

// Prints that answer on standard output and gives the exit status; nothing to carry on.
std::optional<int> AnswerStandardOptions(int argc, const char* const* argv,
                                         const TProgramInfo& info);

} // namespace qzr::cli
