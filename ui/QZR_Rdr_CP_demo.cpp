// QZR Rudder Control Panel on virtual pedals: every window can be seen and used without the
// hardware. The pedals reboot after every write and come back, as the real ones do, and move
// slowly by themselves so their live axes can be watched.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cmath>

#include "hid/sim/SimulatedPlatform.h"
#include "ui/Startup.h"

namespace {

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
    return qzr::RunProgram(argc, argv, [](qzr::IEventPoster& poster) {
        auto platform = std::make_unique<qzr::sim::TSimulatedPlatform>(poster);
        platform->PlugKeyboard();
        KeepMoving(platform->PlugPedals());
        return platform;
    });
}
