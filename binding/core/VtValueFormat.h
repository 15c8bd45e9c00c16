#pragma once
// Text forms of device values and the normaliser applied to control text.
// Conversion failures raise VtException (-518 bad value, -511 bad syntax).

#include <cstdint>
#include <string>
#include <vector>

#include "VtCatalogue.h"

using VtOctets = std::vector<uint8_t>;

// "(NULL)" gives no octets. Integers, time ticks and OID sub-identifiers are
// four octets each, most significant first.
VtOctets VtTextToOctets(const std::string& text, int32_t syntax);

// No octets give "(NULL)" ("" for display strings).
std::string VtOctetsToText(const VtOctets& octets, int32_t syntax);

// Lays the control text over the item's current value as octets and returns
// the text to store in the item's Value (option labels applied).
std::string VtNormaliseControlText(const VtSNMPVarItem& item, const std::string& controlText);

// "H:MM:SS.hh", "1 day H:MM:SS.hh", "D days, H:MM:SS.hh".
std::string VtTimeTicksToText(uint32_t ticks);
uint32_t VtTextToTimeTicks(const std::string& text);

// Leading decimal number after optional blanks; 0 when there are no digits.
int32_t VtLeadingInteger(const std::string& text);

// Hexadecimal octets: blanks removed, an odd first digit alone, other
// characters count as 0.
VtOctets VtParseHexOctets(const std::string& text);

// Decimal text of an integer key sub-identifier (signed 32-bit).
std::string VtIntegerKeyToText(uint32_t subIdentifier);
