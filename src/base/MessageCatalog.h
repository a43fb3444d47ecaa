// The message catalogue: numbered message texts per language, read from the installation's
// catalogue modules (the files "error.msg" and "guide.msg", on Windows the string-resource
// modules "error.dll" and "guide.dll"), and formatted with their arguments.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One catalogue module: message number -> text. On POSIX systems a module is a catalogue text
// file (MessageTable); on Windows it is a module of string resources named by the message
// numbers (built from the same text files), loaded as data.
class MessageModule {
public:
    MessageModule() = default;
    virtual ~MessageModule() = default;
    MessageModule(const MessageModule&) = delete;
    MessageModule& operator=(const MessageModule&) = delete;

    // Opens the module file at path; null when it is no file or cannot be opened.
    static std::unique_ptr<MessageModule> load(const std::string& path);

    // The text of a message, or null when the module does not hold the number. The text lives
    // until the next call.
    virtual const std::string* find(int number) const = 0;
};

// The file names of a language directory's two modules.
#if defined(_WIN32)
inline constexpr const char* kErrorModuleFile = "error.dll";
inline constexpr const char* kGuideModuleFile = "guide.dll";
#else
inline constexpr const char* kErrorModuleFile = "error.msg";
inline constexpr const char* kGuideModuleFile = "guide.msg";
#endif

// Catalogue text: message number -> text. A line holds the number, one tab and the text; lines
// starting with "#", empty lines and malformed lines are skipped; the first line of a number
// wins.
class MessageTable : public MessageModule {
public:
    // Parses catalogue text.
    static std::unique_ptr<MessageTable> parse(std::string_view text);

    const std::string* find(int number) const override;
    std::size_t size() const { return texts_.size(); }
    const std::unordered_map<int, std::string>& texts() const { return texts_; }

private:
    std::unordered_map<int, std::string> texts_;
};

// The catalogues opened for one item of a catalogue list; either may be absent, not
// both.
struct MessageSource {
    std::string name;
    std::unique_ptr<MessageModule> errors;
    std::unique_ptr<MessageModule> guides;
};

// An argument of a message: a text (for %s) or a number (for %d). Either kind is printed by
// either placeholder.
class MessageArg {
public:
    MessageArg(const char* text) : text_(text ? text : ""), isText_(true) {}  // NOLINT
    MessageArg(std::string_view text) : text_(text), isText_(true) {}         // NOLINT
    MessageArg(const std::string& text) : text_(text), isText_(true) {}       // NOLINT
    MessageArg(long long number) : number_(number) {}                         // NOLINT
    MessageArg(long number) : number_(number) {}                              // NOLINT
    MessageArg(int number) : number_(number) {}                               // NOLINT

    void appendTo(std::string& out) const;

private:
    std::string_view text_;
    long long number_ = 0;
    bool isText_ = false;
};

// Formats a message template: %s and %d take the next argument (missing arguments print
// nothing), %% is a percent sign, every other "%" stands as written. The template is never
// handed to printf.
std::string formatMessage(std::string_view pattern, std::initializer_list<MessageArg> args);

// Message kinds.
inline constexpr int kMessageGuide = 1;
inline constexpr int kMessageError = 2;

class MessageCatalog {
public:
    static constexpr std::size_t kTemplateSize = 8193;
    static constexpr std::size_t kOutputSize = 8195;

    MessageCatalog();
    virtual ~MessageCatalog();
    MessageCatalog(const MessageCatalog&) = delete;
    MessageCatalog& operator=(const MessageCatalog&) = delete;

    // Both forward to outputPair: a text alone, and a heading with its text.
    virtual void output(const char* text);
    virtual void output(const char* heading, const char* text);
    // Writes the two texts one after the other to standard output and ends the line.
    virtual void outputPair(const char* first, const char* second);

    // Opens the catalogues of a catalogue list "VAR[/subdir]:VAR[/subdir]...": for each item the
    // directory <value of VAR>/mess[/subdir]/<language directory>, falling back to .../jpn. 1 on
    // success (also when QLANG is unset or the list empty and nothing is opened), 0
    // when an item's catalogues cannot be opened (the other items are still opened).
    int openCatalog(const char* catalogList);

    // The text of message `number` from the guide (kind 1) or error (kind 2) catalogues,
    // formatted with args; "Message No.<number>" when no source holds it. The text lives until
    // the next call.
    const char* messageText(int number, int kind, std::initializer_list<MessageArg> args = {});

    // Closes every source.
    void closeCatalog();

    const std::string& baseDirectory() const { return baseDirectory_; }
    const std::string& languageDirectory() const { return languageDirectory_; }
    std::size_t sourceCount() const { return sources_.size(); }
    const MessageSource* source(std::size_t i) const {
        return i < sources_.size() ? &sources_[i] : nullptr;
    }
    // The source that gave the last text, or null.
    const MessageSource* lastSource() const { return lastSource_; }

private:
    std::string template_;
    std::string output_;
    std::string baseDirectory_;
    std::string languageDirectory_;
    std::vector<MessageSource> sources_;
    const MessageSource* lastSource_ = nullptr;
};

// The language directory named by a QLANG value ("eng", "jpn", "kor", "ger", "fra", "chn"), or
// null when the value names none of them.
const char* messageLanguageDirectory(const char* qlang);
