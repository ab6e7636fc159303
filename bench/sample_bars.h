#pragma once
// The bars of the bundled 48,000-bar minute sample, loaded once per benchmark run.

#include <vector>

#include "market/stock.h"

namespace vantor::bench {

inline const std::vector<Price>& MinuteSampleBars() {
    static const std::vector<Price> bars = [] {
        Tstock store;
        store.fileName = VANTOR_SAMPLE_DIR "/mindata/IFL8.txt";
        store.startrow = 0;
        store.setLastrow(47999);
        store.loaddata();
        return store.DMP[0].value;
    }();
    return bars;
}

} // namespace vantor::bench
