#include "app/MessageManager.h"

#include "base/PathUtil.h"
#include "base/UserInfo.h"

#include <ctime>

namespace {

constexpr const char* kTitles[2] = {"Error Occurred !!!", "Warning Occurred !!!"};
constexpr const char* kExtensions[2] = {".err", ".wrn"};

// "#" followed by 12 blanks starts the two text lines of a banner.
constexpr const char* kBannerIndent = "#            ";

}  // namespace

MessageManager::MessageManager(const char* catalogList) {
    openCatalog(catalogList);
}

MessageManager::~MessageManager() {
    closeChannel(0);
    closeChannel(1);
}

void MessageManager::setLogDirectory(const char* directory) {
    logDirectory_ = directory ? directory : "";
}

int MessageManager::openLogs(const char* name, int append) {
    if (!prepareChannel(0, name, kExtensions[0], append)) return 0;
    return prepareChannel(1, name, kExtensions[1], append);
}

int MessageManager::prepareChannel(std::size_t c, const char* name, const char* extension,
                                   int append) {
    if (name == nullptr || *name == '\0') return 0;
    paths_[c] = pathJoin(logDirectory_.empty() ? std::string(".") : logDirectory_, name);
    paths_[c] += extension;
    appendMode_[c] = append;
    banner_[c] = 1;
    titles_[c] = kTitles[c];
    closeChannel(c);
    openChannel(c, false);
    if (toStandardError_[c]) return 0;
    closeChannel(c);
    if (append == 0 && pathKind(paths_[c]) >= 2) removeFile(paths_[c]);
    return 1;
}

std::FILE* MessageManager::stream(std::size_t c) const {
    if (streams_[c]) return streams_[c].get();
    return toStandardError_[c] ? stderr : nullptr;
}

void MessageManager::openChannel(std::size_t c, bool withBanner) {
    if (stream(c) != nullptr) return;
    if (!paths_[c].empty())
        streams_[c].reset(std::fopen(paths_[c].c_str(), appendMode_[c] == 1 ? "a" : "w"));
    if (!streams_[c]) toStandardError_[c] = true;
    if (withBanner) writeBanner(c);
}

void MessageManager::closeChannel(std::size_t c) {
    if (streams_[c]) {
        streams_[c].reset();
        // Logs are shared by everyone who runs the converter on this machine.
        setFileMode(paths_[c], 0666);
    }
    toStandardError_[c] = false;
}

void MessageManager::write(std::size_t c, const std::string& text) const {
    if (std::FILE* f = stream(c)) std::fwrite(text.data(), 1, text.size(), f);
}

void MessageManager::writeBanner(std::size_t c) {
    std::FILE* f = stream(c);
    if (f == nullptr) return;
    std::string text;
    // A stream that already holds text (a log opened for appending, or standard error sent to
    // a file) gets a line feed before the banner. Standard error is asked where it stands
    // without being moved.
    const long position =
        f == stderr ? std::ftell(f) : (std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1);
    if (position > 0) text += '\n';
    const std::string rule(70, '#');
    std::tm now{};
    const std::string time = localTimeOf(std::time(nullptr), &now) ? timeText24(now) : "";
    text.append(rule).append("\n#\n");
    text.append(kBannerIndent).append(titles_[c]).append("\n#\n");
    text.append(kBannerIndent).append(time).append("\n#\n");
    text.append(rule).append("\n");
    write(c, text);
    std::fflush(f);
}

void MessageManager::reportError(int number, const char* objectId,
                                 std::initializer_list<MessageArg> args) {
    report(0, number, objectId, args);
}

void MessageManager::reportWarning(int number, const char* objectId, const char* argument) {
    if (argument != nullptr)
        report(1, number, objectId, {MessageArg(argument)});
    else
        report(1, number, objectId, {});
}

void MessageManager::report(std::size_t c, int number, const char* objectId,
                            std::initializer_list<MessageArg> args) {
    if (number == 0 && objectId == nullptr) return;
    openChannel(c, banner_[c] == 1);
    if (number != 0) {
        const char* text = messageText(number, c == 1 ? kMessageGuide : kMessageError, args);
        if (text == nullptr || *text == '\0') return;
        // "<Mess.%-5d> %s": the number left-aligned in a field of five.
        std::string line = "\n<Mess.";
        const std::string digits = std::to_string(number);
        line += digits;
        if (digits.size() < 5) line.append(5 - digits.size(), ' ');
        line.append("> ").append(text).append("\n");
        write(c, line);
    }
    if (objectId != nullptr) write(c, std::string(13, ' ') + "objectId:" + objectId + "\n");
    if (std::FILE* f = stream(c)) std::fflush(f);
}
