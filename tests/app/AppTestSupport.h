// Fixture pieces shared by the driver tests: a temporary home with its log directory, a
// temporary installation with its own message catalogue, and a fresh environment cache.
#pragma once

#include "support/TestSupport.h"

#include <string>
#include <vector>

namespace apptest {

// Texts of the test catalogue: short and distinct, so that a test sees which number was used.
inline constexpr const char* kErrorCatalogue =
    "# test catalogue\n"
    "36701\tno sheet\n"
    "36708\tbad name %s\n"
    "36710\tmissing %s\n"
    "36711\tunreadable %s\n"
    "36721\tempty symbol %s\n"
    "36723\tsheet failed %s\n"
    "36724\tempty sheet %s\n"
    "555\tweird %n %d %s %%\n";
inline constexpr const char* kGuideCatalogue = "36752\tsaved %s\n";

// Everything a driver test needs around it. The environment variables are restored and the
// lookup cache forgotten when the object goes.
class DriverEnvironment {
public:
    // withLogDirectory false leaves HOME without its log directory.
    explicit DriverEnvironment(bool withLogDirectory = true);
    ~DriverEnvironment();

    const std::string& home() const { return home_.path(); }
    std::string logDirectory() const { return home_.path() + "/norvel/kv/log"; }
    std::string errorLog() const { return logDirectory() + "/trazon.err"; }
    std::string warningLog() const { return logDirectory() + "/trazon.wrn"; }
    const std::string& root() const { return root_.path(); }
    // A file in the work directory, made with the given content when content is given.
    std::string file(const std::string& name) const { return work_.file(name); }
    std::string makeFile(const std::string& name, const std::string& content = "IN;") const;
    const std::string& work() const { return work_.path(); }

private:
    testsupport::TempDir home_;
    testsupport::TempDir root_;
    testsupport::TempDir work_;
    testsupport::ScopedEnv homeEnv_;
    testsupport::ScopedEnv rootEnv_;
    testsupport::ScopedEnv langEnv_;
};

// An argv made of strings, with the program name in front and the closing null slot.
class ArgVector {
public:
    explicit ArgVector(std::vector<std::string> args);
    int argc() const { return argc_; }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> storage_;
    std::vector<char*> pointers_;
    int argc_ = 0;
};

}  // namespace apptest
