#pragma once
// Types the chart shares with the formula engine: K-line style, price-adjustment style and
// events, and the information blocks.

#include "formula/gs.h"
#include "formula/stock_info.h"
