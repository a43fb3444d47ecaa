// The command table and the dispatcher that runs statements batch by batch.

#include <exception>

#include "hpgl/HpglHandlers.h"

namespace {

// In the order in which mnemonics are compared.
constexpr HpglCommand kCommands[] = {
    {"AA", handleAA, true, kHpglCodeAA},  {"AR", handleAR, true, kHpglCodeAR},
    {"AT", handleAT, true, kHpglCodeAT},  {"CI", handleCI, true, kHpglCodeCI},
    {"PA", handlePA, true, kHpglCodePA},  {"PD", handlePD, true, kHpglCodePD},
    {"PE", handlePE, true, kHpglCodePE},  {"PR", handlePR, true, kHpglCodePR},
    {"PU", handlePU, true, kHpglCodePU},  {"RT", handleRT, true, kHpglCodeRT},
    {"EA", handleEA, true, kHpglCodeEA},  {"ER", handleER, true, kHpglCodeER},
    {"EW", handleEW, false, kHpglCodeEW}, {"EP", handleEP, true, kHpglCodeEP},
    {"FP", handleFP, true, kHpglCodeFP},  {"PM", handlePM, false, kHpglCodePM},
    {"RA", handleRA, true, kHpglCodeRA},  {"RR", handleRR, true, kHpglCodeRR},
    {"WG", handleWG, true, kHpglCodeWG},  {"FT", handleFT, false, kHpglCodeFT},
    {"LA", handleLA, false, kHpglCodeLA}, {"LT", handleLT, false, kHpglCodeLT},
    {"PW", handlePW, false, kHpglCodePW}, {"SM", handleSM, false, 0},
    {"SP", handleSP, false, kHpglCodeSP}, {"WU", handleWU, false, kHpglCodeWU},
    {"AD", handleAD, false, kHpglCodeAD}, {"CP", handleCP, false, kHpglCodeCP},
    {"DI", handleDI, false, kHpglCodeDI}, {"DR", handleDR, false, kHpglCodeDR},
    {"DT", handleDT, false, kHpglCodeDT}, {"ES", handleES, false, kHpglCodeES},
    {"LB", handleLB, true, kHpglCodeLB},  {"LO", handleLO, false, kHpglCodeLO},
    {"SA", handleSA, false, kHpglCodeSA}, {"SD", handleSD, false, kHpglCodeSD},
    {"SI", handleSI, false, kHpglCodeSI}, {"SR", handleSR, false, kHpglCodeSR},
    {"SS", handleSS, false, kHpglCodeSS}, {"DF", handleDF, false, kHpglCodeDF},
    {"IN", handleIN, false, kHpglCodeIN}, {"IP", handleIP, false, kHpglCodeIP},
    {"IR", handleIR, false, kHpglCodeIR}, {"PS", handlePS, false, kHpglCodePS},
};
constexpr int kCommandCount = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);
static_assert(kCommandCount == kHpglCommandCount);

// Read only with user scaling on.
constexpr HpglCommand kScalingCommands[] = {
    {"SC", handleSC, false, kHpglCodeSC},
    {"RO", handleRO, false, kHpglCodeRO},
};
static_assert(sizeof kScalingCommands / sizeof kScalingCommands[0] == kHpglScalingCommandCount);

const HpglCommand* findScalingCommand(std::string_view m) {
    for (const HpglCommand& c : kScalingCommands) {
        if (m == c.mnemonic) return &c;
    }
    return nullptr;
}

// Mnemonics are unique in the table, so finding one by its two letters gives the same entry as
// comparing in table order. Index 0 means "not in the table".
struct CommandIndex {
    unsigned char slot[26 * 26] = {};
    constexpr CommandIndex() {
        for (int i = 0; i < kCommandCount; ++i) {
            slot[(kCommands[i].mnemonic[0] - 'A') * 26 + (kCommands[i].mnemonic[1] - 'A')] =
                static_cast<unsigned char>(i + 1);
        }
    }
};
constexpr CommandIndex kIndex;

}  // namespace

const HpglCommand* hpglCommandTable(int& count) {
    count = kCommandCount;
    return kCommands;
}

int64_t StatementCounts::total() const {
    int64_t n = ignored;
    for (int64_t c : perCommand)
        n += c;
    for (int64_t c : perScalingCommand)
        n += c;
    return n;
}

int64_t StatementCounts::of(std::string_view mnemonic) const {
    if (const HpglCommand* cmd = findHpglCommand(mnemonic))
        return perCommand[static_cast<size_t>(cmd - kCommands)];
    if (const HpglCommand* cmd = findScalingCommand(mnemonic))
        return perScalingCommand[static_cast<size_t>(cmd - kScalingCommands)];
    return 0;
}

void StatementCounts::countIgnored(std::string_view first) {
    ++ignored;
    if (const int slot = mnemonicSlot(first); slot >= 0)
        ++unknown[static_cast<size_t>(slot)];
    else if (!first.empty() && first[0] == '\x1b')
        ++escapes;
}

int StatementCounts::mnemonicSlot(std::string_view m) {
    if (m.size() != 2) return -1;
    const unsigned a = static_cast<unsigned char>(m[0]) - 'A';
    const unsigned b = static_cast<unsigned char>(m[1]) - 'A';
    return a < 26 && b < 26 ? static_cast<int>(a * 26 + b) : -1;
}

std::string_view hpglCommandMnemonic(int index) {
    return index >= 0 && index < kCommandCount ? kCommands[index].mnemonic : std::string_view();
}

std::string_view hpglScalingCommandMnemonic(int index) {
    return index >= 0 && index < kHpglScalingCommandCount ? kScalingCommands[index].mnemonic
                                                          : std::string_view();
}

bool FigureSource::fills() const {
    if (command == nullptr) return false;
    const std::string_view m(command);
    return m == "FP" || m == "RA" || m == "RR" || m == "WG";
}

const HpglCommand* findHpglCommand(std::string_view m) {
    const int at = StatementCounts::mnemonicSlot(m);
    if (at < 0) return nullptr;
    const int slot = kIndex.slot[at];
    return slot == 0 ? nullptr : &kCommands[slot - 1];
}

int HpglInterpreter::dispatchBatch(StatementBatch& batch) {
    // The caller's batch is the working batch: emptied, it keeps its storage for this one.
    batch.clear();
    batch.pen = pen_.number;
    batch.running = nullptr;
    int result = 1;
    HpglStatement& st = statement_;
    // Only the first read of the call may be empty without meaning the end: a flag rather than
    // a read counter, which a batch of billions of ignored statements would overflow.
    for (bool firstRead = true;; firstRead = false) {
        if (!readStatement(st)) {
            batch.addCode(kHpglCodeNoInput);
            result = 0;
            break;
        }
        if (st.empty()) {
            // The one empty read that begins a file (it only finds the first mnemonic).
            if (firstRead) continue;
            batch.addCode(kHpglCodeEndOfInput);
            result = 0;
            break;
        }
        const HpglCommand* cmd = findHpglCommand(st[0]);
        if (cmd != nullptr) {
            ++counts_.perCommand[static_cast<size_t>(cmd - kCommands)];
        } else if (scaling_.enabled && (cmd = findScalingCommand(st[0])) != nullptr) {
            ++counts_.perScalingCommand[static_cast<size_t>(cmd - kScalingCommands)];
        } else {
            counts_.countIgnored(st[0]);
            continue;
        }
        int ok = 0;
        batch.running = cmd->mnemonic;
        try {
            ok = cmd->handler(*this, st, batch);
        } catch (const std::exception&) {
            // Storage ran out inside the handler: the command failed.
            ok = 0;
            try {
                if (cmd->code != 0) batch.addCode(cmd->code);
            } catch (const std::exception&) {
            }
        }
        batch.running = nullptr;
        // DF and IN report their failures only through their codes.
        if (!ok && cmd->handler != handleDF && cmd->handler != handleIN) result = 0;
        if (cmd->endsBatch && !polygon_.on()) break;
    }
    return result;
}
