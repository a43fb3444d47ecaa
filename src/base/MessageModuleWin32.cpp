// Catalogue modules on Windows: modules of string resources, one string per message number,
// loaded as data (no code of a module ever runs) and read with LoadStringA.
#include <windows.h>

#include "base/MessageCatalog.h"
#include "base/PathUtil.h"

namespace {

class ResourceModule : public MessageModule {
public:
    explicit ResourceModule(HMODULE module) : module_(module) {}
    ~ResourceModule() override { ::FreeLibrary(module_); }

    const std::string* find(int number) const override {
        // A string resource is named by a 16-bit number.
        if (number < 0 || number > 0xFFFF) return nullptr;
        text_.resize(MessageCatalog::kTemplateSize);
        ::SetLastError(ERROR_SUCCESS);
        const int length = ::LoadStringA(module_, static_cast<UINT>(number), text_.data(),
                                         static_cast<int>(text_.size()));
        if (length > 0) {
            text_.resize(static_cast<std::size_t>(length));
            return &text_;
        }
        // An empty string cannot be told from a missing one; a load that fails because the
        // module went away counts as an empty text.
        if (::GetLastError() == ERROR_MOD_NOT_FOUND) {
            text_.clear();
            return &text_;
        }
        return nullptr;
    }

private:
    HMODULE module_;
    mutable std::string text_;
};

}  // namespace

std::unique_ptr<MessageModule> MessageModule::load(const std::string& path) {
    if (pathKind(path) < 2) return nullptr;
    // The loader wants a full path with backslashes.
    std::string full = makeAbsolutePath(path);
    for (char& c : full) {
        if (c == '/') c = '\\';
    }
    HMODULE module = ::LoadLibraryExA(full.c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return nullptr;
    return std::make_unique<ResourceModule>(module);
}
