// QZR Rudder Control Panel on virtual pedals: every window can be seen and used without the
// hardware. The pedals reboot after every write and come back, as the real ones do, and move
// slowly by themselves so their live axes can be watched.
// --situation=NAME plays one of the situations in which the pedals cannot be used.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "cli/StandardOptions.h"
#include "hid/sim/Situations.h"
#include "ui/Startup.h"

namespace {

const qzr::cli::TProgramInfo Info{
    "qzr-rudder-panel-demo",
    "usage: qzr-rudder-panel-demo [--help | --version] [--situation=NAME] [Qt options]\n"
    "The rudder control panel on virtual pedals, for trying every window without the\n"
    "hardware. The virtual controller reboots after each write and comes back as the real\n"
    "one does, and the pedals move by themselves so their live axes can be watched.\n"
    "--situation=NAME plays one of the situations in which the pedals cannot be used:\n"
    "connected (the default), no-access, busy, no-hidraw, no-pedals, monitor-down.\n"
    "Needs a display (X11 or Wayland).\n"};

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

using qzr::sim::TEmulatedPedals;

constexpr int MoveIntervalMs = 40;

// The rudder swings from side to side in six seconds; the brakes are pressed in turn.
void MovePedals(TEmulatedPedals& pedals, double seconds) {
    constexpr double Pi = 3.14159265358979;
    const double swing = std::sin(2 * Pi * seconds / 6.0);
    const double left = std::pow(std::max(0.0, std::sin(2 * Pi * seconds / 8.0)), 2);
    const double right = std::pow(std::max(0.0, -std::sin(2 * Pi * seconds / 8.0)), 2);
    pedals.SetAxes(uint16_t(std::lround((0.5 + 0.45 * swing) * TEmulatedPedals::RudderMax)),
                   uint16_t(std::lround(left * TEmulatedPedals::BrakeMax)),
                   uint16_t(std::lround(right * TEmulatedPedals::BrakeMax)));
}

void KeepMoving(const std::shared_ptr<TEmulatedPedals>& pedals) {
    auto* timer = new QTimer(QCoreApplication::instance());
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [weak = std::weak_ptr<TEmulatedPedals>(pedals), clock] {
        if (auto moving = weak.lock()) MovePedals(*moving, double(clock->elapsed()) / 1000.0);
    });
    QObject::connect(timer, &QObject::destroyed, [clock] { delete clock; });
    timer->start(MoveIntervalMs);
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = qzr::cli::AnswerStandardOptions(argc, argv, Info))
        return *status;
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
        qzr::sim::TPedalsOnBus pedals;
        qzr::sim::StageSituation(*platform, situation, &pedals);
        if (pedals) KeepMoving(pedals);
        return platform;
    });
}
