#pragma once
#include <bit>

// Records are stored and exchanged as raw little-endian bytes; both targets are x86.
static_assert(std::endian::native == std::endian::little, "records assume a little-endian machine");
