#pragma once
// The design benchmarks' building: equal staircases of equal floors of equal
// apartments, each staircase 10 m from the head end.
#include <cstdint>

#include "document/design_settings.h"

inline void UniformBuilding(TPalazzo& b, int32_t staircases, int32_t floors, int32_t apartments,
                            const TAppartamento& flat) {
    b.StaircaseCount = staircases;
    for (int32_t s = 0; s < staircases; ++s) {
        TScala& st = b.Staircases[s];
        st.FloorCount = floors;
        st.HeadEndDistance = 10;
        for (int32_t f = 0; f < floors; ++f) {
            st.Floors[f].ApartmentCount = apartments;
            for (int32_t a = 0; a < apartments; ++a) st.Floors[f].Apartments[a] = flat;
        }
    }
    b.ComputeMaxima();
}
