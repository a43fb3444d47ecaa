// Catalogue modules on POSIX systems: the catalogue text files themselves.
#include <fstream>
#include <new>

#include "base/MessageCatalog.h"
#include "base/PathUtil.h"

namespace {

// Catalogues larger than this are not read (no installation has one anywhere near it).
constexpr std::streamoff kMaxModuleSize = std::streamoff(64) << 20;

}  // namespace

std::unique_ptr<MessageModule> MessageModule::load(const std::string& path) {
    if (pathKind(path) != 2) return nullptr;
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxModuleSize) return nullptr;
    in.seekg(0, std::ios::beg);
    try {
        std::string text(static_cast<std::size_t>(size), '\0');
        if (size > 0 && !in.read(text.data(), size)) return nullptr;
        return MessageTable::parse(text);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
