#include "hpgl/StatementBatch.h"

#include <algorithm>

bool StatementBatch::hasCode(int32_t code) const {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}
