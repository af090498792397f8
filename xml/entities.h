// Element text, one character at a time: plain units, decimal character
// references and the named entities of a fixed table.
#pragma once

#include <cstdint>

#include "xml/text.h"

namespace xml {

struct Entity {
  const Unit* name;  // zero-terminated; the table ends with an empty name
  Unit code;
};

// The 104 named entities in lookup order, then the empty end entry.
extern const Entity EntityTable[105];

// Reads one character at `cursor` and moves the cursor past it. Never fails:
// what cannot be decoded comes back as "&" with the cursor just after it.
// Returns 0 at the terminating zero (the cursor stays). The caller keeps the
// low 16 bits and drops a result whose low 16 bits are zero.
std::uint32_t ReadChar(const Unit*& cursor);

// The code of the entity `name` (length units), or 0 when no entry matches.
Unit LookUpEntity(const Unit* name, int length);

}  // namespace xml
