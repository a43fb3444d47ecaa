#include "app/MessageManager.h"

#include "base/PathUtil.h"
#include "base/UserInfo.h"

#include <ctime>

namespace {

constexpr const char* kTitles[2] = {"Error Occurred !!!", "Warning Occurred !!!"};
constexpr const char* kExtensions[2] = {".err", ".wrn"};

// "#" followed by 12 blanks starts the two text lines of a banner.
constexpr const char* kBannerIndent = "#            ";
// 13 blanks start the lines that add to a message (the object identifier, the cause).
constexpr const char* kDetailIndent = "             ";

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
    // A log that cannot even be closed cannot be written either.
    const bool closed = files_[c].close();
    closeChannel(c);
    failedLog_.clear();
    failedLogError_ = 0;
    if (!closed) return 0;
    if (append == 0 && pathKind(paths_[c]) >= 2) removeFile(paths_[c]);
    return 1;
}

void MessageManager::openChannel(std::size_t c, bool withBanner) {
    if (isOpen(c)) return;
    if (!paths_[c].empty()) {
        // Never through a link (it could send the log anywhere) and only into a regular file; a
        // text file, whose lines end in CR LF on Windows.
        int error = 0;
        files_[c] = platform::openFile(
            paths_[c], appendMode_[c] == 1 ? platform::OpenMode::Append : platform::OpenMode::Write,
            platform::kOpenNoFollow | platform::kOpenRegularOnly | platform::kOpenText, error);
    }
    if (!files_[c].isOpen()) toStandardError_[c] = true;
    if (withBanner) writeBanner(c);
}

void MessageManager::closeChannel(std::size_t c) {
    if (files_[c].isOpen() && !files_[c].close()) noteFailure(c, files_[c].error());
    toStandardError_[c] = false;
}

int MessageManager::closeLogs() {
    for (std::size_t c = 0; c < 2; ++c) {
        closeChannel(c);
        // The text written so far stays: a later message adds to it.
        appendMode_[c] = 1;
    }
    return failedLog_.empty() ? 1 : 0;
}

void MessageManager::noteFailure(std::size_t c, int error) {
    if (!failedLog_.empty()) return;
    failedLog_ = paths_[c];
    failedLogError_ = error;
}

void MessageManager::write(std::size_t c, const std::string& text) {
    if (files_[c].isOpen()) {
        if (!files_[c].write(text.data(), text.size())) noteFailure(c, files_[c].error());
    } else if (toStandardError_[c]) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
}

void MessageManager::writeBanner(std::size_t c) {
    if (!isOpen(c)) return;
    std::string text;
    // A stream that already holds text (a log opened for appending, or standard error sent to
    // a file) gets a line feed before the banner. Standard error is asked where it stands
    // without being moved.
    const long long position =
        files_[c].isOpen() ? files_[c].seek(0, 2) : static_cast<long long>(std::ftell(stderr));
    if (position > 0) text += '\n';
    const std::string rule(70, '#');
    std::tm now{};
    const std::string time = localTimeOf(std::time(nullptr), &now) ? timeText24(now) : "";
    text.append(rule).append("\n#\n");
    text.append(kBannerIndent).append(titles_[c]).append("\n#\n");
    text.append(kBannerIndent).append(time).append("\n#\n");
    text.append(rule).append("\n");
    write(c, text);
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

void MessageManager::reportErrorCause(int number, std::initializer_list<MessageArg> args,
                                      const std::string& cause) {
    report(0, number, nullptr, args, cause);
}

void MessageManager::report(std::size_t c, int number, const char* objectId,
                            std::initializer_list<MessageArg> args, const std::string& cause) {
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
        if (!cause.empty()) line.append(kDetailIndent).append("cause: ").append(cause).append("\n");
        write(c, line);
    }
    if (objectId != nullptr) write(c, kDetailIndent + std::string("objectId:") + objectId + "\n");
}
