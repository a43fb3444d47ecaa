// The undoable command protocol shared by the commands that create objects on a sheet or change
// the sheet itself: a state (not ready, ready, executed, undone) guarding execute, undo and redo.
#pragma once

#include <cstdint>

#include "base/QdoCmdBase.h"

// Command states.
inline constexpr std::int32_t kCmdStateNotReady = -1;  // also while an operation runs
inline constexpr std::int32_t kCmdStateReady = 0;
inline constexpr std::int32_t kCmdStateExecuted = 1;
inline constexpr std::int32_t kCmdStateUndone = 2;

class SheetCommand : public QdoCmdBase {
public:
    ~SheetCommand() override;

    // From state 0 only: runs the change; state 1 on success. 0 (code 30005) in another state;
    // 0 when the change fails, the command then stays not ready.
    int execute() override;
    // From state 1 only: takes the change back; state 2 on success.
    int undo() override;
    // From state 2 only: makes the change again; state 1 on success.
    int redo() override;
    int reversible() override { return 1; }
    // Database commands.
    int type() const override { return kCmdTypeDatabase; }

    std::int32_t state() const { return state_; }

protected:
    SheetCommand() = default;

    // The change itself, taken back, and made again. 1 on success, 0 (nothing changed) otherwise.
    virtual int apply() = 0;
    virtual int takeBack() = 0;
    virtual int reapply() { return apply(); }

    std::int32_t state_ = kCmdStateNotReady;

private:
    // Runs step from state `from`; `to` on success, `from` again (or not ready, for execute)
    // on failure.
    int step(std::int32_t from, std::int32_t to, int (SheetCommand::*op)());
};
