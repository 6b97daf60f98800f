#pragma once

// The stream key travels in the first block's ciphertext: bit k of the key
// (read as a little-endian 64-bit number) replaces the low bit of byte 8 + k,
// and the 64 low bits it displaces are stored in bytes 0 to 7, little-endian.
// block must hold at least 72 bytes.

void HideStreamKey(unsigned char* block, const unsigned char key[8]);

// Undoes HideStreamKey: fills key and restores the displaced low bits.
void RecoverStreamKey(unsigned char* block, unsigned char key[8]);
