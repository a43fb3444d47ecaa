#include "base/MessageCatalog.h"

#include <cstdio>
#include <new>

#include "base/Language.h"
#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "base/SysEnv.h"

namespace {

constexpr const char* kFallbackLanguage = "jpn";

// Opens one module from <base>/<language>, else from <base>/jpn.
std::unique_ptr<MessageModule> openModule(const std::string& base, const std::string& language,
                                          const char* module) {
    std::string path = base;
    if (!language.empty()) pathAppend(path, language);
    pathAppend(path, module);
    if (auto found = MessageModule::load(path)) return found;
    path = base;
    pathAppend(path, kFallbackLanguage);
    pathAppend(path, module);
    return MessageModule::load(path);
}

}  // namespace

std::unique_ptr<MessageTable> MessageTable::parse(std::string_view text) {
    auto module = std::make_unique<MessageTable>();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find('\n', i);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(i, end - i);
        i = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        // The number: decimal digits only, within the range of an int.
        std::size_t k = 0;
        long long number = 0;
        while (k < line.size() && line[k] >= '0' && line[k] <= '9' && number <= 0x7FFFFFFF) {
            number = number * 10 + (line[k] - '0');
            ++k;
        }
        if (k == 0 || number > 0x7FFFFFFF || k >= line.size() || line[k] != '\t') continue;
        std::string_view message = line.substr(k + 1);
        if (message.size() >= MessageCatalog::kTemplateSize) {
            std::size_t keep = MessageCatalog::kTemplateSize - 1;
            if (isLeadByteAt(message, keep - 1)) --keep;
            message = message.substr(0, keep);
        }
        // The first line of a number wins.
        module->texts_.emplace(static_cast<int>(number), std::string(message));
    }
    return module;
}

const std::string* MessageTable::find(int number) const {
    auto it = texts_.find(number);
    return it == texts_.end() ? nullptr : &it->second;
}

void MessageArg::appendTo(std::string& out) const {
    if (isText_)
        out.append(text_);
    else
        appendInt(out, number_);
}

std::string formatMessage(std::string_view pattern, std::initializer_list<MessageArg> args) {
    std::string out;
    const MessageArg* next = args.begin();
    std::size_t i = 0;
    while (i < pattern.size()) {
        std::size_t percent = pattern.find('%', i);
        if (percent == std::string_view::npos) {
            out.append(pattern.substr(i));
            break;
        }
        out.append(pattern.substr(i, percent - i));
        char kind = percent + 1 < pattern.size() ? pattern[percent + 1] : '\0';
        if (kind == 's' || kind == 'd') {
            if (next != args.end()) (next++)->appendTo(out);
            i = percent + 2;
        } else if (kind == '%') {
            out.push_back('%');
            i = percent + 2;
        } else {
            out.push_back('%');
            i = percent + 1;
        }
    }
    return out;
}

const char* messageLanguageDirectory(const char* qlang) {
    static const struct {
        const char* value;
        const char* directory;
    } kLanguages[] = {
        {"english", "eng"},  {"c", "eng"},      {"japanese", "jpn"},
        {"korean", "kor"},   {"german", "ger"}, {"deutsch", "ger"},
        {"francais", "fra"}, {"french", "fra"}, {"chinese", "chn"},
    };
    if (!qlang) return nullptr;
    for (const auto& entry : kLanguages) {
        if (compareNoCase(qlang, entry.value) == 0) return entry.directory;
    }
    return nullptr;
}

MessageCatalog::MessageCatalog() = default;

MessageCatalog::~MessageCatalog() = default;

void MessageCatalog::output(const char* text) {
    outputPair(text, "");
}

void MessageCatalog::output(const char* heading, const char* text) {
    outputPair(heading, text);
}

void MessageCatalog::outputPair(const char* first, const char* second) {
    std::fputs(first ? first : "", stdout);
    std::fputs(second ? second : "", stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void MessageCatalog::closeCatalog() {
    lastSource_ = nullptr;
    sources_.clear();
}

int MessageCatalog::openCatalog(const char* catalogList) {
    const char* qlang = getSysEnv("QLANG");
    if (!qlang || !catalogList || !*catalogList) return 1;
    if (const char* directory = messageLanguageDirectory(qlang)) languageDirectory_ = directory;

    closeCatalog();
    int result = 1;
    std::string_view items(catalogList);
    while (true) {
        std::size_t colon = items.find(':');
        std::string_view item = items.substr(0, colon);
        std::size_t slash = item.find('/');
        std::string variable(item.substr(0, slash));
        std::string_view subdirectory =
            slash == std::string_view::npos ? std::string_view() : item.substr(slash + 1);
        if (!variable.empty()) {
            if (const char* root = getSysEnv(variable.c_str())) {
                std::string base(root);
                pathAppend(base, "mess");
                if (!subdirectory.empty()) pathAppend(base, subdirectory);
                baseDirectory_ = base;
                MessageSource source;
                source.name = std::string(item);
                source.errors = openModule(base, languageDirectory_, kErrorModuleFile);
                source.guides = openModule(base, languageDirectory_, kGuideModuleFile);
                if (source.errors || source.guides)
                    sources_.push_back(std::move(source));
                else
                    result = 0;
            }
        }
        if (colon == std::string_view::npos) break;
        items.remove_prefix(colon + 1);
    }
    return result;
}

const char* MessageCatalog::messageText(int number, int kind,
                                        std::initializer_list<MessageArg> args) {
    output_.clear();
    lastSource_ = nullptr;
    const std::string* found = nullptr;
    for (const MessageSource& source : sources_) {
        const MessageModule* module = kind == kMessageGuide
                                          ? source.guides.get()
                                          : (kind == kMessageError ? source.errors.get() : nullptr);
        if (!module) continue;
        if (const std::string* text = module->find(number)) {
            found = text;
            lastSource_ = &source;
            break;
        }
    }
    try {
        if (!found) {
            output_ = "Message No.";
            appendInt(output_, number);
        } else {
            template_ = *found;
            output_ = formatMessage(template_, args);
            if (output_.size() >= kOutputSize) {
                // Cut to the buffer, never through the middle of a double-byte character.
                std::size_t keep = kOutputSize - 1;
                if (isLeadByteAt(output_, keep - 1)) --keep;
                output_.resize(keep);
            }
        }
    } catch (const std::bad_alloc&) {
        output_.clear();
    }
    return output_.c_str();
}
