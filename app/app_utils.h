// Small helpers shared by every part of the game.
#pragma once
#include <cstddef>
#include <string>

// True when a file-status query on the path succeeds.
bool FileExists(const std::string& path);

// Bit i of a byte array is bit (i mod 8), counted from the least significant, of byte i / 8.
bool TestBit(const unsigned char* bytes, int i);
void SetBit(unsigned char* bytes, int i);

// True when the two strings agree in their first n characters or both end together before
// that; n = 0 gives true.
bool StrEqualN(const char* a, const char* b, int n);

// Sets n bytes to zero; nothing happens for n <= 0.
void ZeroBytes(void* p, int n);
