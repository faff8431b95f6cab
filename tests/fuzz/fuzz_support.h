#pragma once
// What every fuzz target needs: the program-wide objects the readers use
// (band systems, channel plans, prototypes, a reporter), made once, and the
// file version a fuzz input asks for.
#include <cstddef>
#include <cstdint>

// Makes the program-wide objects on the first call.
void FuzzGlobals();
// The file versions the readers know; the first byte of an input picks one.
int32_t FuzzVersion(uint8_t selector);
// Forgets the message boxes the last input asked for.
void FuzzForgetMessages();
