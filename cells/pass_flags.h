#pragma once
// The flag words of the cells' passes, read by every family that takes part
// in a pass and written by the callers that start one.
#include <cstdint>

// The mode word of the designer's model choice (ChooseModel, EvaluateModel):
// each bit has this one name, set by the designer or by the cell that asks
// its neighbours, and read by the classes that test it.
// The connector index asked of the model (3: any); every cell puts in its
// own (Choice1) before it asks its neighbours.
constexpr int32_t ModeConnectorBits = 0x3;
// The connector index that asks for any connector: a termination of any
// connector fits.
constexpr int32_t TerminationAnyConnector = 0x3;
// DC reaches the end of the line: a termination asked with it takes a model
// that refuses DC. A switch asks the terminations at its inputs and the
// switches below it so, an outlet that passes DC the cells after it.
constexpr int32_t ModeIsolatedTermination = 0x4;
// The bits a switch replaces when it asks the cells on its user outputs.
constexpr int32_t ModeCellBits = ModeConnectorBits | ModeIsolatedTermination;
// The cell hangs on a switch's user output (the switch asks it from its
// input side): the receivers' supply passes up through it to the switch. A
// tap takes only a model whose user outputs receive power, an outlet only one
// that passes DC ("Passaggio DC"); the taps hand it on.
constexpr int32_t ModePassesDc = 0x8;
// Switches and cables: a target level is given with the call. An amplifier
// asks the termination in front of an input with it as well; a termination
// does not read it.
constexpr int32_t ModeTargetGiven = 0x10;
// The cell hangs on a tap's user output: a switch there takes no model that
// feeds power up the line.
constexpr int32_t ModeNoPowerFeeding = 0x20;
// The terminations' pass: the terminations choose their models, every other
// cell only walks and chooses nothing.
constexpr int32_t ModeNoChoice = 0x40;
// Outlets: any connector; without it, with ModeConnectorOne only connector 1.
constexpr int32_t ModeAnyConnector = 0x80;
constexpr int32_t ModeConnectorOne = 0x100;
constexpr int32_t ModeNeedsBand9 = 0x200;  // the model must pass band slot 9 (satellite)
constexpr int32_t ModeNeedsBand5 = 0x400;  // the model must pass band slot 5 (terrestrial)
// Switches: the riser is a cascade of switches (as SecondPositionCascade).
constexpr int32_t ModeCascade = 0x800;

// The flag word of the channel pass (ComputeChannels).
constexpr int32_t ChannelFlagFirstStep = 0x100;  // the first of the pass's two steps
constexpr int32_t ChannelFlagQuiet = 0x200;      // the sources report nothing
