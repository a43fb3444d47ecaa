// Conversions between the Japanese double-byte encodings: Shift_JIS, EUC-JP and JIS X 0208
// codes (row byte 0x21-0x7E in the high byte, cell byte 0x21-0x7E in the low byte). Each gives
// -1 for a code it cannot convert.
#pragma once

// Shift_JIS to JIS X 0208. Refuses codes outside 0x813F-0xEAAD, the unassigned gaps
// 0x83DE-0x843E, 0x84CE-0x889E, 0x853E-0x854E, 0x987F-0x989E and 0x9FFE-0xE03E, and second
// bytes of 0x7F, below 0x3F or above 0xFD.
int sjisToJis(int code);

// Shift_JIS to EUC-JP (the JIS code with both high bits set).
int sjisToEuc(int code);

// EUC-JP to Shift_JIS. Both bytes must lie in 0xA1-0xFE.
int eucToSjis(int code);

// EUC-JP to JIS X 0208. Both bytes must lie in 0xA1-0xFE.
int eucToJis(int code);

// JIS X 0208 to Shift_JIS. Both bytes must lie in 0x21-0x7E.
int jisToSjis(int code);
