// The message and log manager: writes numbered messages, with their catalogue texts, to an error
// log (<name>.err) and a warning log (<name>.wrn) in a log directory. A log file is made only
// when a message goes to it, and then starts with a banner naming the kind of log and the time.
// Log files are never opened through a link and are made with the usual mode for new files.
#pragma once

#include "base/MessageCatalog.h"
#include "base/PlatformFile.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

class MessageManager : public MessageCatalog {
public:
    static constexpr int kErrorChannel = 0;
    static constexpr int kWarningChannel = 1;

    // Opens the catalogues named by a catalogue list (such as "QRXROOT/edif2qrx").
    explicit MessageManager(const char* catalogList);
    // Closes both logs.
    ~MessageManager() override;

    // The directory of the log files; null or empty means the current directory.
    void setLogDirectory(const char* directory);
    // Prepares both channels for the log name: 1 when both log files can be written, else 0
    // (the failing channel then writes to standard error). With append 0 the files are only
    // tried: none is left behind, and the logs of an earlier run are removed.
    int openLogs(const char* name, int append);

    // Writes message `number` with its arguments, and the object identifier when one is given,
    // to the error log.
    void reportError(int number, const char* objectId = nullptr,
                     std::initializer_list<MessageArg> args = {});
    // Writes message `number` with one argument, and the object identifier when one is given,
    // to the warning log.
    void reportWarning(int number, const char* objectId = nullptr, const char* argument = nullptr);
    // Writes message `number` with its arguments to the error log and, when cause is not empty,
    // a line naming the cause of the failure: 13 blanks, "cause: " and the text.
    void reportErrorCause(int number, std::initializer_list<MessageArg> args,
                          const std::string& cause);

    // Closes both logs (a later message opens its log again, appending under a new banner).
    // 1 when every write to a log file and every close since openLogs succeeded, else 0.
    int closeLogs();
    // After a failed write or close of a log file: the log's path and the cause, else empty.
    const std::string& failedLog() const { return failedLog_; }
    int failedLogError() const { return failedLogError_; }

    const std::string& logDirectory() const { return logDirectory_; }
    // The log file of a channel (empty before openLogs).
    const std::string& logPath(int channel) const { return paths_[channelIndex(channel)]; }

private:
    static std::size_t channelIndex(int channel) { return channel == kWarningChannel ? 1 : 0; }

    int prepareChannel(std::size_t c, const char* name, const char* extension, int append);
    void openChannel(std::size_t c, bool withBanner);
    void closeChannel(std::size_t c);
    void writeBanner(std::size_t c);
    void report(std::size_t c, int number, const char* objectId,
                std::initializer_list<MessageArg> args, const std::string& cause = {});
    bool isOpen(std::size_t c) const { return files_[c].isOpen() || toStandardError_[c]; }
    void write(std::size_t c, const std::string& text);
    // Remembers the first failed write or close of a log file.
    void noteFailure(std::size_t c, int error);

    // A channel whose log file cannot be opened writes to standard error instead.
    std::array<platform::File, 2> files_;
    std::array<bool, 2> toStandardError_{false, false};
    std::string failedLog_;
    int failedLogError_ = 0;
    std::string logDirectory_;
    std::array<std::string, 2> paths_;
    std::array<std::int32_t, 2> appendMode_{0, 0};
    std::array<std::int32_t, 2> banner_{0, 0};
    std::array<std::string, 2> titles_;
};
