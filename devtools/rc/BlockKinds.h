#pragma once
// The table of block kinds: every kind the sources may name, each once.

#include <cstdint>
#include <span>
#include <string_view>

#include "devtools/rc/BlockKind.h"

std::span<const CBlockKind* const> BlockKinds();

// The kind of that name; null when there is none.
const CBlockKind* FindBlockKind(std::string_view name);
// The kind whose blocks carry the tag; null for a tag only raw blocks carry.
const CBlockKind* FindBlockKindByTag(uint32_t tag);
