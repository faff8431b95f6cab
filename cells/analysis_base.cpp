// What the grid analysis asks of every cell about cable runs. Only cable
// segments have a run head; the segment class answers for itself.
#include "cells/cell.h"

bool TCella::IsRunHead() const { return false; }
void TCella::SetRunHead(bool) {}
bool TCella::KeepsOffRunHead() const { return false; }
