#include "base/JapaneseCodes.h"

namespace {

bool inRange(int code, int low, int high) {
    return code >= low && code <= high;
}

bool isEucByte(int b) {
    return b >= 0xA1 && b <= 0xFE;
}

}  // namespace

int sjisToJis(int code) {
    if (!inRange(code, 0x813F, 0xEAAD)) return -1;
    if (inRange(code, 0x853E, 0x854E) || inRange(code, 0x83DE, 0x843E) ||
        inRange(code, 0x84CE, 0x889E) || inRange(code, 0x987F, 0x989E) ||
        inRange(code, 0x9FFE, 0xE03E)) {
        return -1;
    }
    int high = code >> 8;
    int low = code & 0xFF;
    if (low == 0x7F || low < 0x3F || low > 0xFD) return -1;

    high -= high <= 0x9F ? 0x71 : 0xB1;
    high = high * 2 + 1;
    if (low > 0x7F) --low;
    if (low >= 0x9E) {
        low -= 0x7D;
        ++high;
    } else {
        low -= 0x1F;
    }
    return (high << 8) | low;
}

int sjisToEuc(int code) {
    int jis = sjisToJis(code);
    return jis < 0 ? -1 : jis | 0x8080;
}

int eucToJis(int code) {
    if (code < 0 || code > 0xFFFF) return -1;
    if (!isEucByte(code >> 8) || !isEucByte(code & 0xFF)) return -1;
    return code & 0x7F7F;
}

int jisToSjis(int code) {
    if (code < 0 || code > 0xFFFF) return -1;
    int high = code >> 8;
    int low = code & 0xFF;
    if (!inRange(high, 0x21, 0x7E) || !inRange(low, 0x21, 0x7E)) return -1;
    if (high & 1) {
        low += 0x1F;
        if (low >= 0x7F) ++low;
    } else {
        low += 0x7E;
    }
    high = ((high + 1) >> 1) + (high <= 0x5E ? 0x70 : 0xB0);
    return (high << 8) | low;
}

int eucToSjis(int code) {
    int jis = eucToJis(code);
    return jis < 0 ? -1 : jisToSjis(jis);
}
