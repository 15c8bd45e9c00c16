#pragma once
// Input checks and address helpers shared by the feature screens. Qt-free.
// Each check returns true when the text passes. None of them shows a message;
// the MAC-address box is shown by the Qt wrapper in SharedChecks.h.

#include <string>

namespace ksr {

// Four decimal fields joined by exactly three dots, no blank, not starting
// with a dot; field 1 from 1 to 223 and not 127, fields 2 and 3 from 0 to 255,
// field 4 from 0 to 254.
bool isHostAddress(const std::string& text);

// Dotted like a host address; field 1 from 1 to 255, the others 0 to 255, no
// field equal to 1; one-bits from the top followed only by zero-bits, at least
// 192.0.0.0 and never 255.255.255.255.
bool isSubnetMask(const std::string& text);

// Address and mask together: the network part is neither zero nor equal to
// the mask, and the host part is neither all zeros nor all ones. Texts that
// are not four dotted numbers from 0 to 255 fail.
bool isAddressAndMask(const std::string& address, const std::string& mask);

// Twelve hexadecimal digits, not all zero, and not a group address (the low
// bit of the first octet, i.e. an odd second digit).
bool isMacAddress(const std::string& text);

// No byte with its top bit set (plain 7-bit text); the empty text passes.
bool isPlainText(const std::string& text);

// Not empty, and neither the first nor the last character is a blank.
bool hasNoBlankEdge(const std::string& text);

// Network part of an address: the four dotted fields ANDed pairwise (a field
// that is not a number counts as 0), e.g. 192.168.1.77 / 255.255.255.0 ->
// 192.168.1.0.
std::string networkOf(const std::string& address, const std::string& mask);

}  // namespace ksr
