#pragma once
// What the virtual bus can be made to look like, by name, so that anyone can see how the
// program behaves when the pedals cannot be used: the demo's --situation=NAME.
#include <memory>
#include <string>
#include <vector>

#include "hid/sim/SimulatedPlatform.h"

namespace qzr::sim {

// "connected" first, then the situations in which the pedals are not connected.
const std::vector<std::string>& SituationNames();

using TPedalsOnBus = std::shared_ptr<TEmulatedPedals>;

// Plugs in what the situation needs on a fresh platform; false for an unknown name. The
// pedals it plugged in, if any, go to `pedals`.
bool StageSituation(TSimulatedPlatform& platform, const std::string& name,
                    TPedalsOnBus* pedals = nullptr);

} // namespace qzr::sim
