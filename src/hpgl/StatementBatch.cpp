#include "hpgl/StatementBatch.h"

#include <algorithm>

bool StatementBatch::hasCode(int32_t code) const {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

void StatementBatch::addFigure(std::unique_ptr<QsFigure> figure) {
    // Room for the mnemonic first, so that the two lists never fall out of step.
    if (madeBy.size() == madeBy.capacity()) madeBy.reserve(madeBy.size() * 2 + 8);
    figures.push_back(std::move(figure));
    madeBy.push_back(running);
}

std::vector<std::unique_ptr<QsFigure>> StatementBatch::takeFigures() {
    std::vector<std::unique_ptr<QsFigure>> taken;
    taken.swap(figures);
    madeBy.clear();
    return taken;
}
