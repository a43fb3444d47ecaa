#include "hpgl/StatementBatch.h"

#include <algorithm>

StatementBatch::StatementBatch() = default;
StatementBatch::~StatementBatch() = default;
StatementBatch::StatementBatch(StatementBatch&&) noexcept = default;
StatementBatch& StatementBatch::operator=(StatementBatch&&) noexcept = default;

void StatementBatch::clear() {
    figures.clear();
    codes.clear();
}

bool StatementBatch::hasCode(int32_t code) const {
    return std::any_of(codes.begin(), codes.end(),
                       [code](const BatchCode& c) { return c.code == code; });
}

void StatementBatch::addFigure(HpglShape shape) {
    figures.push_back({std::move(shape), running});
}
