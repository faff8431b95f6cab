#pragma once
// The flag words of the cells' passes, read by every family that takes part
// in a pass and written by the callers that start one.
#include <cstdint>

// The mode word of the designer's model choice (ChooseModel, EvaluateModel).
constexpr int32_t ModeConnectorBits = 0x3;  // the connector index asked of the model
constexpr int32_t ModeNoChoice = 0x40;      // only walk, choose nothing
constexpr int32_t ModeNeedsBand9 = 0x200;   // the model must pass band slot 9 (satellite)
constexpr int32_t ModeNeedsBand5 = 0x400;   // the model must pass band slot 5 (terrestrial)

// The flag word of the channel pass (ComputeChannels).
constexpr int32_t ChannelFlagFirstStep = 0x100;  // the first of the pass's two steps
constexpr int32_t ChannelFlagQuiet = 0x200;      // the sources report nothing
