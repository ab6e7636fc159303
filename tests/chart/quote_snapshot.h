#pragma once
// A quote snapshot for board tests: previous close `last`, current price `price`, open half a
// point below the close, high 3 above and low 2 below it, five levels half a point apart
// with bids of 10, 20 .. 50 and asks of 5 each.

#include <cstddef>

#include "chart/quote_records.h"

namespace vantor {

inline TTDX_PKBASE QuoteSnapshot(float last, float price) {
    TTDX_PKBASE q;
    q.last = last;
    q.prize = price;
    q.open = last - 0.5f;
    q.highest = last + 3;
    q.lowest = last - 2;
    q.volume = 123456;
    q.amount = 98765432;
    q.b = 300;
    q.s = 700;
    for (size_t k = 0; k < 5; ++k) {
        q.buy[k] = price - 0.5f * static_cast<float>(k + 1);
        q.sell[k] = price + 0.5f * static_cast<float>(k + 1);
        q.buyQTY[k] = 10.0f * static_cast<float>(k + 1);
        q.sellQTY[k] = 5;
    }
    return q;
}

} // namespace vantor
