#pragma once
// The kinds of circuit error that the grid analysis and cell placement find,
// and the message the main window shows for each. One table serves the
// analysis, its tests and the main window.
#include <cstdint>

#include "platform/sysutils.h"

enum TTipoErroreCircuito : int32_t {
    ErroreNessuno = 0,           // nothing to show
    ErroreInterruzione = 1,      // the signal leaves the grid or reaches an empty square
    ErroreIngressoRete = 2,      // an input of the network is not reached from the head end
    ErroreNonIngresso = 3,       // the signal enters a cell where no input waits
    ErroreChiusuraMancante = 4,  // a line that needs a termination ends in an end outlet
    ErroreIngressoTesta = 5,     // an input of the head end is not reached from the antennas
    ErroreCicloAutomix = 6,
    ErroreUsciteAutomix = 7,
    ErroreIngressiAutomix = 8,
    ErroreUsciteAutomixUnLato = 9,
    ErroreAutomixMisto = 10,
};

constexpr int32_t ErroreCircuitoMassimo = 10;

// The message of a kind; empty for kind 0 and for kinds outside 1 to 10.
AnsiString CircuitErrorMessage(int32_t kind);
