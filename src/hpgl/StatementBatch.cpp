#include "hpgl/StatementBatch.h"

#include <algorithm>

bool StatementBatch::hasCode(int32_t code) const {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

void StatementBatch::mergeCodes(const std::vector<int32_t>& other) {
    for (int32_t code : other) {
        if (!hasCode(code)) codes.push_back(code);
    }
}
