#pragma once
#include "market/host.h" // IWYU pragma: export
