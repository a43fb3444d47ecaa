#include "hpgl/StatementBatch.h"

#include <algorithm>

bool StatementBatch::hasCode(int32_t code) const {
    return std::any_of(codes.begin(), codes.end(),
                       [code](const BatchCode& c) { return c.code == code; });
}
