#pragma once
// Input checks and address helpers shared by the feature screens. Qt-free.

#include <string>

namespace ksr {

// Network part of an address: the four dotted fields ANDed pairwise (a field
// that is not a number counts as 0), e.g. 192.168.1.77 / 255.255.255.0 ->
// 192.168.1.0.
std::string networkOf(const std::string& address, const std::string& mask);

}  // namespace ksr
