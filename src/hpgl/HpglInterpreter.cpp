#include "hpgl/HpglInterpreter.h"

#include <utility>

HpglInterpreter::HpglInterpreter(std::string name)
    : fileName(std::move(name)), labelState(std::make_unique<LabelState>(unitFactor())) {
    resetPlotPage();
}

HpglInterpreter::~HpglInterpreter() = default;

int HpglInterpreter::open(int* error) {
    auto in = std::make_unique<PlotInput>();
    if (!in->open(fileName, error)) return 0;
    input = std::move(in);
    pendingMnemonic.clear();
    return 1;
}
