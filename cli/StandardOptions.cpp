#include "cli/StandardOptions.h"

#include <cstdio>
#include <string_view>

#include "cli/Version.h"

namespace qzr::cli {

std::optional<std::string> StandardOptionAnswer(int argc, const char* const* argv,
                                                const TProgramInfo& info)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            return std::string(info.usage);
        if (arg == "--version")
            return std::string(info.name) + " " + ProgramVersion + "\n";
    }
    return std::nullopt;
}

std::optional<int> AnswerStandardOptions(int argc, const char* const* argv,
                                         const TProgramInfo& info)
{
    const std::optional<std::string> answer = StandardOptionAnswer(argc, argv, info);
    if (!answer)
        return std::nullopt;
    std::fputs(answer->c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace qzr::cli
