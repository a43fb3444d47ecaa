#include "convert/SheetCommand.h"

#include "base/ErrorRecord.h"
#include "db/LexObject.h"

SheetCommand::~SheetCommand() = default;

int SheetCommand::step(std::int32_t from, std::int32_t to, int (SheetCommand::*op)()) {
    if (state_ != from) {
        recordError(kLexErrorReadOnly, kSeverityMinor);
        return 0;
    }
    state_ = kCmdStateNotReady;
    if (!(this->*op)()) {
        // A failed execute leaves nothing to undo; a failed undo or redo changed nothing.
        state_ = from == kCmdStateReady ? kCmdStateNotReady : from;
        return 0;
    }
    state_ = to;
    return 1;
}

int SheetCommand::execute() {
    return step(kCmdStateReady, kCmdStateExecuted, &SheetCommand::apply);
}

int SheetCommand::undo() {
    return step(kCmdStateExecuted, kCmdStateUndone, &SheetCommand::takeBack);
}

int SheetCommand::redo() {
    return step(kCmdStateUndone, kCmdStateExecuted, &SheetCommand::reapply);
}
