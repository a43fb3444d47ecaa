// Writes message catalogue modules for tests from catalogue text, in the form the converter reads
// on its platform: the text file itself, or on Windows a module of string resources made from
// it (a copy of a built catalogue module, its resources replaced through the resource update
// calls, as the build makes them from the catalogue files).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/MessageCatalog.h"
#include "support/TestSupport.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace testsupport {

// Writes the module named by file (kErrorModuleFile or kGuideModuleFile) into dir, made from
// catalogue text. false when it cannot be written.
inline bool writeCatalogueModule(const std::string& dir, const char* file,
                                 const std::string& text) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string path = dir + "/" + file;
#if defined(_WIN32)
    // String resources stand in blocks of 16: block n / 16 + 1 holds message n at n % 16, each
    // string as its length and its UTF-16 characters.
    std::map<int, std::vector<std::wstring>> blocks;
    const std::unique_ptr<MessageTable> table = MessageTable::parse(text);
    for (const auto& [number, message] : table->texts()) {
        if (number > 0xFFFF) continue;
        std::wstring wide(message.size(), L'\0');
        const int length =
            message.empty()
                ? 0
                : ::MultiByteToWideChar(CP_ACP, 0, message.data(), static_cast<int>(message.size()),
                                        wide.data(), static_cast<int>(wide.size()));
        wide.resize(static_cast<std::size_t>(length));
        auto& block = blocks[number / 16 + 1];
        block.resize(16);
        block[static_cast<std::size_t>(number % 16)] = wide;
    }
    const std::string model = bundledRoot() + "/mess/edif2qrx/eng/" + kErrorModuleFile;
    if (!::CopyFileA(model.c_str(), path.c_str(), FALSE)) return false;
    HANDLE update = ::BeginUpdateResourceA(path.c_str(), TRUE);
    if (!update) return false;
    bool ok = true;
    for (const auto& [id, strings] : blocks) {
        std::vector<WCHAR> data;
        for (const std::wstring& s : strings) {
            data.push_back(static_cast<WCHAR>(s.size()));
            data.insert(data.end(), s.begin(), s.end());
        }
        ok = ok && ::UpdateResourceA(update, RT_STRING, MAKEINTRESOURCEA(id),
                                     MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), data.data(),
                                     static_cast<DWORD>(data.size() * sizeof(WCHAR)));
    }
    return ::EndUpdateResourceA(update, ok ? FALSE : TRUE) && ok;
#else
    return writeFile(path, text);
#endif
}

}  // namespace testsupport
