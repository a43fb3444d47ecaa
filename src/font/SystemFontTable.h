// The process-wide table of numbered system fonts of the installation: each row's font is found
// and opened at its first use and kept for the rest of the run.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "font/FontHandle.h"

// The standard alphanumeric font and the Japanese double-byte font.
inline constexpr unsigned kStandardFontNumber = 1;
inline constexpr unsigned kJapaneseFontNumber = 100;

class SystemFontTable {
public:
    static constexpr int kRows = 13;

    static SystemFontTable& instance();

    // The handle of system font number, opened at the first call; null for a number that is not
    // in the table. The handle may hold no font (file missing or unreadable): see hasFont.
    FontHandle* find(unsigned number);
    // The handle of number only when it holds a font, else null.
    FontHandle* findFont(unsigned number);

    // The relative path of a font number ("/font/eng/qafont.vec"), null when not in the table.
    static const char* relativePath(unsigned number);
    // Where the system file with that relative path is taken from: NVL_PROJECT_ROOT +
    // "/local/qsys", then QLOCALROOT + "/qsys", then the installation root QRXROOT, each followed
    // by the relative path; the first that opens for reading wins. When none does, the
    // QLOCALROOT candidate is used all the same.
    static std::string locateSystemFile(const std::string& relative);

    // Lets go of every row's handle (for tests and a fresh start).
    void reset();

private:
    SystemFontTable() = default;
    struct Row {
        std::uint16_t number;
        const char* path;
        std::unique_ptr<FontHandle> handle;
    };
    Row* row(unsigned number);
    std::array<Row, kRows> rows_{{{1, "/font/eng/qafont.vec", nullptr},
                                  {2, "/font/eng/_qafont.vec", nullptr},
                                  {3, "/font/eng/qafont0.vec", nullptr},
                                  {4, "/font/eng/_qafont0.vec", nullptr},
                                  {5, "/font/eng/sysfont.vec", nullptr},
                                  {6, "/font/eng/_sysfont.vec", nullptr},
                                  {7, "/font/eng/qpafont0.vec", nullptr},
                                  {8, "/font/eng/_qpafont0.vec", nullptr},
                                  {9, "/font/eng/qvisula.vec", nullptr},
                                  {10, "/font/eng/_qvisula.vec", nullptr},
                                  {100, "/font/jpn/qkfont.vec", nullptr},
                                  {200, "/font/kor/qhangul.vec", nullptr},
                                  {300, "/font/chn/qchinese.vec", nullptr}}};
};

// Shorthand for SystemFontTable::instance().find(number).
FontHandle* findSystemFont(unsigned number);
// Shorthand for SystemFontTable::instance().reset().
void resetSystemFontTable();
