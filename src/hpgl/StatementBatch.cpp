#include "hpgl/StatementBatch.h"

#include <algorithm>
#include <cstring>

bool StatementBatch::hasCode(int32_t code) const {
    return std::any_of(codes.begin(), codes.end(),
                       [code](const BatchCode& c) { return c.code == code; });
}

void mergeCodes(std::vector<BatchCode>& into, const std::vector<BatchCode>& from) {
    for (const BatchCode& code : from) {
        const bool held = std::any_of(into.begin(), into.end(), [&code](const BatchCode& c) {
            return c.code == code.code &&
                   (c.addedBy == code.addedBy || (c.addedBy != nullptr && code.addedBy != nullptr &&
                                                  std::strcmp(c.addedBy, code.addedBy) == 0));
        });
        if (!held) into.push_back(code);
    }
}
