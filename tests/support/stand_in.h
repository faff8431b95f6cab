#pragma once
// Test cells that stand in for a component class by taking its type code or
// kind answer the grid's questions as that class's description does: the
// roles below are the ones the real classes of those codes declare.
#include "cells/cell.h"

inline TCellDescription StandInDescription(const TCella& cell) {
    TCellDescription d;
    const int32_t code = cell.TypeCode;
    if (code == CodeHeadEnd) d.Roles |= RoleGridAnchor;
    if (code == CodeEarth) d.Roles |= RoleEarth;
    if (cell.Kind == KindCableSegment) d.Roles |= RoleCableSegment;
    if (code == CodeCable || code == CodeEntryAnchor || code == CodeExitAnchor) d.Roles |= RoleGivesWay;
    if (code == CodeCable) d.Roles |= RoleIdleNeedsNoData;
    if (code == CodeTermination) d.Roles |= RoleTermination;
    if (cell.Kind == KindOutlet) d.Roles |= RoleOutlet;
    if (cell.IsAutoMixModule() || code == CodeAmplificatoreAt) d.Roles |= RoleJoinsByJumpers;
    return d;
}
