#include "db/LexHashTable.h"

std::uint32_t lexHash(std::string_view key) {
    std::uint32_t h = 0;
    for (char c : key) {
        h ^= static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
        h = (h << 1) | (h >> 31);
    }
    return h;
}

std::size_t lexHashNextSize(std::size_t current) {
    for (std::size_t size : kLexHashSizes) {
        if (size > current) return size;
    }
    return kLexHashSizes[std::size(kLexHashSizes) - 1];
}
