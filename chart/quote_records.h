#pragma once
// Quote, tick and instrument records handed to the chart by a host that streams quotes.

#include <array>
#include <cstdint>
#include <string>

namespace vantor {

// A quote snapshot: five levels of bids and asks, the day's prices and totals.
struct TTDX_PKBASE {
    std::int32_t time = 0;
    std::array<float, 5> buy{}, sell{};       // bid and ask prices, level 1 first
    std::array<float, 5> buyQTY{}, sellQTY{}; // their quantities
    float last = 0;                           // previous close
    float open = 0, highest = 0, lowest = 0;
    float prize = 0; // current price
    float volume = 0, amount = 0;
    float tradeQTY = 0; // volume of the last trade
    float b = 0, s = 0; // inside and outside volume
    std::string code;
};

// One tick of the board's tick list (16 bytes in the data feed).
struct TTDX_DEALInfo {
    std::int32_t time = 0; // hhmm
    float price = 0;
    float volume = 0;
    std::int16_t direction = 0; // 1 sell, 0 buy, other none
    std::uint16_t trades = 0;
};

// The financial block of an instrument: two dates and its values (total shares first).
struct TStockZu {
    std::int32_t date1 = 0, date2 = 0;
    std::array<float, 40> Zl{};
};

// The instrument record: header (name, code, previous close), quote and financial block.
struct TStockinfoRecord {
    std::string Name; // at most 8 bytes are shown
    std::string code; // at most 6 bytes
    float YClose = 0;
    int FMARK = 0;
    int FTYPE = 0; // instrument type; 7 shows no bid and ask levels
    TTDX_PKBASE INFO;
    TStockZu Zu;
};

} // namespace vantor
