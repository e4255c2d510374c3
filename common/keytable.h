// The fixed table of string keys: wizard page tables refer to keys by id, and a new project's
// string table is seeded with the default English texts.
#pragma once

namespace qp {

constexpr int kKeyCount = 75;
constexpr int kKeyNameMax = 40;      // bytes a key name may hold, terminator included
constexpr int kKeyDefaultMax = 260;  // bytes a default text may hold, terminator included

// The key name of `id`, or nullptr when no entry has that id. Id 26 is reserved: its name is
// the empty text, so the slot exists (ids stay equal to positions) but never matches a key.
const char* KeyName(int id);
// The default English text of `id` (empty for keys without one), or nullptr for an unknown id.
const char* KeyDefault(int id);
// The id of the entry named `name` (exact, case-sensitive), or -1. The reserved slot never
// matches, not even the empty name.
int KeyId(const char* name);

}  // namespace qp
