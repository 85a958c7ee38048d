#include "hid/sim/Situations.h"

#include <cerrno>
#include <functional>
#include <utility>

namespace qzr::sim {

namespace {

TPedalsOnBus PlugRefusingPedals(TSimulatedPlatform& platform, int error) {
    auto pedals = std::make_shared<TEmulatedPedals>();
    pedals->openRefusal = TOpenRefusal::All;
    pedals->refusalErrno = error;
    platform.PlugKeyboard();
    platform.Plug(pedals);
    return pedals;
}

using TStage = std::function<TPedalsOnBus(TSimulatedPlatform&)>;

const std::vector<std::pair<std::string, TStage>>& Situations() {
    static const std::vector<std::pair<std::string, TStage>> situations = {
        {"connected", [](TSimulatedPlatform& p) { p.PlugKeyboard(); return p.PlugPedals(); }},
        {"no-access", [](TSimulatedPlatform& p) { return PlugRefusingPedals(p, EACCES); }},
        {"busy", [](TSimulatedPlatform& p) { return PlugRefusingPedals(p, EBUSY); }},
        {"no-hidraw", [](TSimulatedPlatform&) { return TPedalsOnBus(); }},
        {"no-pedals",
         [](TSimulatedPlatform& p) {
             p.PlugKeyboard();
             p.PlugMouse();
             return TPedalsOnBus();
         }},
        {"monitor-down",
         [](TSimulatedPlatform& p) {
             p.notificationError = "cannot open the udev netlink socket";
             p.PlugKeyboard();
             return p.PlugPedals();
         }},
    };
    return situations;
}

} // namespace

const std::vector<std::string>& SituationNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const auto& situation : Situations())
            list.push_back(situation.first);
        return list;
    }();
    return names;
}

bool StageSituation(TSimulatedPlatform& platform, const std::string& name, TPedalsOnBus* pedals) {
    for (const auto& [situationName, stage] : Situations()) {
        if (situationName == name) {
            TPedalsOnBus plugged = stage(platform);
            if (pedals) *pedals = std::move(plugged);
            return true;
        }
    }
    return false;
}

} // namespace qzr::sim
