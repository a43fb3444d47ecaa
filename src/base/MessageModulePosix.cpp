// Catalogue modules on POSIX systems: the catalogue text files themselves.
#include <new>

#include "base/MessageCatalog.h"
#include "base/PlatformFile.h"

namespace {

// Catalogues larger than this are not read (no installation has one anywhere near it).
constexpr long long kMaxModuleSize = 64LL << 20;

}  // namespace

std::unique_ptr<MessageModule> MessageModule::load(const std::string& path) {
    // Only a regular file is a catalogue: a directory, a device or a pipe counts as missing.
    int error = 0;
    platform::File in = platform::openInput(path, false, error);
    if (!in.isOpen()) return nullptr;
    const long long size = in.seek(0, 2);
    if (size < 0 || size > kMaxModuleSize || in.seek(0, 0) != 0) return nullptr;
    try {
        std::string text(static_cast<std::size_t>(size), '\0');
        std::size_t done = 0;
        while (done < text.size()) {
            const long long n = in.read(text.data() + done, text.size() - done);
            if (n <= 0) return nullptr;
            done += static_cast<std::size_t>(n);
        }
        return MessageTable::parse(text);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
