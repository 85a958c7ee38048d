// QZR Rudder Control Panel on virtual pedals: every window can be seen and used without the
// hardware. The pedals reboot after every write and come back, as the real ones do.
// --situation=NAME plays one of the situations in which the pedals cannot be used.
#include <cstdio>
#include <string>

#include "hid/sim/Situations.h"
#include "ui/Startup.h"

namespace {

constexpr int ExitUsage = 64;
const std::string SituationOption = "--situation=";

// The situation named on the command line; "connected" when none is.
std::string SituationOf(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind(SituationOption, 0) == 0)
            return argument.substr(SituationOption.size());
    }
    return "connected";
}

bool IsKnownSituation(const std::string& name) {
    for (const std::string& known : qzr::sim::SituationNames())
        if (known == name)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const std::string situation = SituationOf(argc, argv);
    if (!IsKnownSituation(situation)) {
        std::string names;
        for (const std::string& name : qzr::sim::SituationNames())
            names += (names.empty() ? "" : ", ") + name;
        std::fprintf(stderr, "%s: unknown situation \"%s\"; one of: %s\n", argv[0],
                     situation.c_str(), names.c_str());
        return ExitUsage;
    }
    return qzr::RunProgram(argc, argv, [&situation](qzr::IEventPoster& poster) {
        auto platform = std::make_unique<qzr::sim::TSimulatedPlatform>(poster);
        qzr::sim::StageSituation(*platform, situation);
        return platform;
    });
}
