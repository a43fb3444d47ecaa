// The message catalogues: the input is both catalogues (errors and guides) of the installation,
// read in English and in Japanese; every message the driver reports and every number the input
// names is formatted with a text and a number argument. A text cut to the output buffer must
// never end in the first byte of a double-byte character.
#include <cstring>
#include <string>
#include <vector>

#include "FuzzHarnesses.h"
#include "FuzzSupport.h"
#include "base/Language.h"
#include "base/MessageCatalog.h"
#include "base/SysEnv.h"

using fuzzsupport::check;
using fuzzsupport::FuzzInput;

namespace {

// The numbers at the start of the input's first lines, and the driver's messages.
std::vector<int> messageNumbers(std::string_view text) {
    std::vector<int> numbers;
    for (int n = 36701; n <= 36752; ++n)
        numbers.push_back(n);
    numbers.push_back(0);
    numbers.push_back(2147483647);
    std::size_t at = 0;
    for (int line = 0; line < 64 && at < text.size(); ++line) {
        long long n = 0;
        std::size_t k = at;
        while (k < text.size() && k - at < 10 && text[k] >= '0' && text[k] <= '9')
            n = n * 10 + (text[k++] - '0');
        if (k > at && n <= 2147483647) numbers.push_back(static_cast<int>(n));
        at = text.find('\n', at);
        if (at == std::string_view::npos) break;
        ++at;
    }
    return numbers;
}

// A long argument of double-byte characters (valid in both Japanese character sets), so that
// texts with %s run past the output buffer.
const std::string kWide = [] {
    std::string s;
    for (int i = 0; i < 20; ++i)
        s += "\xB0\xA1";
    return s;
}();

void formatAll(std::string_view text, const char* qlang) {
    setSysEnv("QLANG", qlang);
    resetCharsetKind();
    MessageCatalog catalog;
    check(catalog.openCatalog("QRXROOT/edif2qrx") == 1, "a written catalogue does not open");
    const std::unique_ptr<MessageTable> module = MessageTable::parse(text);
    for (int number : messageNumbers(text)) {
        for (int kind : {kMessageGuide, kMessageError}) {
            const char* out = catalog.messageText(number, kind, {kWide, number, "%s%d%%"});
            const std::size_t length = std::strlen(out);
            check(length < MessageCatalog::kOutputSize, "a message runs past the output buffer");
            const std::string* pattern = module->find(number);
            if (pattern == nullptr) continue;
            const std::string whole = formatMessage(*pattern, {kWide, number, "%s%d%%"});
            check(whole.compare(0, length, out, length) == 0, "a message is not its text");
            // A text with a zero byte reads shorter: only a text without one shows its cut.
            if (whole.size() >= MessageCatalog::kOutputSize && whole.find('\0') == whole.npos) {
                check(!isLeadByteAt(whole, length - 1),
                      "a message is cut through a double-byte character");
            }
        }
    }
}

}  // namespace

int fuzzCatalog(const std::uint8_t* data, std::size_t size) {
    FuzzInput input;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char* language : {"eng", "jpn"}) {
        for (const char* module : {"error.msg", "guide.msg"})
            input.write(std::string("mess/edif2qrx/") + language + "/" + module, text);
    }
    setSysEnv("QRXROOT", fuzzsupport::scratchDir().c_str());
    formatAll(text, "english");
    formatAll(text, "japanese");
    return 0;
}
