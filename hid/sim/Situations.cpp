#include "hid/sim/Situations.h"

#include <cerrno>
#include <functional>
#include <utility>

namespace qzr::sim {

namespace {

void PlugRefusingPedals(TSimulatedPlatform& platform, int error) {
    auto pedals = std::make_shared<TEmulatedPedals>();
    pedals->openRefusal = TOpenRefusal::All;
    pedals->refusalErrno = error;
    platform.PlugKeyboard();
    platform.Plug(pedals);
}

using TStage = std::function<void(TSimulatedPlatform&)>;

const std::vector<std::pair<std::string, TStage>>& Situations() {
    static const std::vector<std::pair<std::string, TStage>> situations = {
        {"connected", [](TSimulatedPlatform& p) { p.PlugKeyboard(); p.PlugPedals(); }},
        {"no-access", [](TSimulatedPlatform& p) { PlugRefusingPedals(p, EACCES); }},
        {"busy", [](TSimulatedPlatform& p) { PlugRefusingPedals(p, EBUSY); }},
        {"no-hidraw", [](TSimulatedPlatform&) {}},
        {"no-pedals", [](TSimulatedPlatform& p) { p.PlugKeyboard(); p.PlugMouse(); }},
        {"monitor-down",
         [](TSimulatedPlatform& p) {
             p.notificationError = "cannot open the udev netlink socket";
             p.PlugKeyboard();
             p.PlugPedals();
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

bool StageSituation(TSimulatedPlatform& platform, const std::string& name) {
    for (const auto& [situationName, stage] : Situations()) {
        if (situationName == name) {
            stage(platform);
            return true;
        }
    }
    return false;
}

} // namespace qzr::sim
