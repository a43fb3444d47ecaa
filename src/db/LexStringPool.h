// The process-wide pool of property names and values: each distinct string is kept once, shared
// by every property that uses it, and lives until the process ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A pooled string: compare by content, never free.
using LexInterned = const std::string*;

// Makes the pool (once). 1 on success, 0 when memory is exhausted (30004 recorded).
int initialiseStringPool();

// The pooled copy of text, made on first use; null when memory is exhausted (30004 recorded).
LexInterned lexIntern(std::string_view text);

// Number of distinct strings pooled so far.
std::size_t lexInternedCount();

// Forgets every pooled string. Only for when no object that holds one is left: a process that
// reads file after file (tests, fuzzing) would otherwise keep every name and value it ever read.
void resetLexStringPool();
