// Shared pieces of the end-to-end tests: the built program run in its own process with a
// temporary home and a controlled environment, the golden files beside the tests, and loading
// an output file back through the database layer.
#pragma once

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "base/SysEnv.h"
#include "convert/DbHandle.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "db/ResourceSettings.h"
#include "support/TestSupport.h"

namespace e2e {

// 4 December 2026, 16:11:56 (UTC): every save stamp of the tests.
inline constexpr const char* kEpoch = "1796400716";

#if !defined(_WIN32)
using testsupport::shellQuote;
#endif

struct Outcome {
    int code = -1;
    std::string out, err;
};

#if defined(_WIN32)
// Runs a command line in directory with standard output and error sent to the files out and
// err; with an environment given (NAME=value entries) the process gets only that, else the
// test's own. The exit code, -1 when the process cannot be started.
inline int runProcess(std::string line, const std::vector<std::string>* environment,
                      const std::string& directory, const std::string& out,
                      const std::string& err) {
    std::string block;
    if (environment) {
        std::vector<std::string> sorted = *environment;
        std::sort(sorted.begin(), sorted.end());
        for (const auto& e : sorted)
            block += e + '\0';
        block += '\0';
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    auto create = [&](const std::string& name) {
        return ::CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE outFile = create(out), errFile = create(err);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process{};
    DWORD code = static_cast<DWORD>(-1);
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0,
                         environment ? block.data() : nullptr, directory.c_str(), &startup,
                         &process)) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &code);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(outFile);
    ::CloseHandle(errFile);
    return static_cast<int>(code);
}
#endif

// A home with its log directory (also the working directory of the runs), the bundled
// installation, English messages and a fixed save time.
class ProgramRun {
public:
    ProgramRun() { std::filesystem::create_directories(logDirectory()); }
    const std::string& home() const { return home_.path(); }
    std::string logDirectory() const { return home_.path() + "/norvel/kv/log"; }
    std::string errorLog() const { return logDirectory() + "/trazon.err"; }
    std::string warningLog() const { return logDirectory() + "/trazon.wrn"; }
    std::string file(const std::string& name) const { return home_.file(name); }

    // Runs the program in the home directory with only HOME, QLANG, SOURCE_DATE_EPOCH, the
    // installation root (when given), the entries of setEnvironment and the further NAME=value
    // entries in its environment.
    Outcome run(const std::vector<std::string>& args,
                std::optional<std::string> root = testsupport::bundledRoot(),
                const std::vector<std::string>& more = {}) const {
        return runProgram(TRAZON_PROGRAM, args, root, more);
    }
    // Runs another of the programs as run runs the converter.
    Outcome runProgram(const std::string& program, const std::vector<std::string>& args,
                       std::optional<std::string> root,
                       const std::vector<std::string>& more = {}) const {
        std::vector<std::string> environment = this->environment(root);
        environment.insert(environment.end(), more.begin(), more.end());
        const int code = start(program, args, environment, file("out.txt"), file("err.txt"));
        return {code, testsupport::readTextFile(file("out.txt")),
                testsupport::readTextFile(file("err.txt"))};
    }

    // Runs the program as run does, with its output and errors in <name>.out and <name>.err of
    // the home, so that runs at the same time (from threads of the test) keep theirs apart. The
    // exit code.
    int runAlongside(const std::vector<std::string>& args, const std::string& name) const {
        return start(TRAZON_PROGRAM, args, environment(testsupport::bundledRoot()),
                     file(name + ".out"), file(name + ".err"));
    }

    // Further NAME=value entries for every run.
    void setEnvironment(std::vector<std::string> entries) { extra_ = std::move(entries); }

#if !defined(_WIN32)
    // The shell command that runs the program with args in the home (no redirections).
    std::string command(const std::vector<std::string>& args,
                        std::optional<std::string> root = testsupport::bundledRoot()) const {
        return command(TRAZON_PROGRAM, args, environment(root));
    }
    // Shell text put before the program's environment: commands ending in ";" ("ulimit -f 1;")
    // or a command that runs it ("timeout 30").
    void setShellPrefix(std::string prefix) {
        prefix_ = std::move(prefix);
    }
#endif

    // The "<Mess.N> text" lines of a log, without its banner.
    static std::string messages(const std::string& log) {
        const std::string text = testsupport::readTextFile(log);
        std::string lines;
        for (std::size_t p = text.find("<Mess."); p != std::string::npos;
             p = text.find("<Mess.", p + 1))
            lines += text.substr(p, text.find('\n', p) - p + 1);
        return lines;
    }
    std::string errors() const {
        return messages(errorLog());
    }
    std::string warnings() const {
        return messages(warningLog());
    }

private:
    std::vector<std::string> environment(const std::optional<std::string>& root) const {
        std::vector<std::string> environment = {"HOME=" + home(), "QLANG=english",
                                                std::string("SOURCE_DATE_EPOCH=") + kEpoch};
        if (root) environment.push_back("QRXROOT=" + *root);
        environment.insert(environment.end(), extra_.begin(), extra_.end());
        return environment;
    }

#if defined(_WIN32)
    // Windows programs take one command line; the converter splits it at blanks (no argument
    // of the tests holds one). The box of the usage text is left out: nobody would close it.
    int start(std::string program, const std::vector<std::string>& args,
              std::vector<std::string> environment, const std::string& out,
              const std::string& err) const {
        std::replace(program.begin(), program.end(), '/', '\\');
        std::string line = "\"" + program + "\"";
        for (const auto& a : args)
            line += " " + a;
        environment.push_back("TRAZON_NO_MESSAGE_BOX=1");
        if (const char* system = std::getenv("SystemRoot"))
            environment.push_back(std::string("SystemRoot=") + system);
        return runProcess(line, &environment, home(), out, err);
    }
#else
    std::string command(const std::string& program, const std::vector<std::string>& args,
                        const std::vector<std::string>& environment) const {
        std::string command = "cd " + shellQuote(home_.path()) + " && " + prefix_ + " env -i";
        for (const auto& e : environment)
            command += " " + shellQuote(e);
        command += " " + shellQuote(program);
        for (const auto& a : args)
            command += " " + shellQuote(a);
        return command;
    }

    int start(const std::string& program, const std::vector<std::string>& args,
              const std::vector<std::string>& environment, const std::string& out,
              const std::string& err) const {
        return testsupport::runShell("(" + command(program, args, environment) + ") >" +
                                     shellQuote(out) + " 2>" + shellQuote(err));
    }
    std::string prefix_;
#endif

    testsupport::TempDir home_;
    std::vector<std::string> extra_;
};

// A circuit's path table that sends both settings files to the bundled installation.
inline std::string pathTableText() {
    const std::string info = testsupport::bundledRoot() + "/info";
    return "landata : \"" + info + "\"\nlanenv : \"" + info + "\"\n";
}

// The folder of the golden files.
inline std::string dataFile(const std::string& name) {
    return testsupport::sourceDir() + "/tests/e2e/data/" + name;
}

// The saved text with the user name of the save stamps replaced, so that it does not depend on
// who runs the tests.
inline std::string withoutUser(const std::string& text) {
    static const std::regex user("\n(author|updateUser)\n(0\n|1\n[^\n]*\n)");
    return std::regex_replace(text, user, "\n$1\n1\n<user>\n");
}

// Compares an output file with its golden file, both without the user name. With
// TRAZON_UPDATE_GOLDEN set, the golden file is rewritten from the output instead.
inline void expectGolden(const std::string& output, const std::string& golden) {
    const std::string actual = withoutUser(testsupport::readFile(output));
    ASSERT_FALSE(actual.empty()) << output;
    if (std::getenv("TRAZON_UPDATE_GOLDEN") != nullptr) {
        testsupport::writeFile(dataFile(golden), actual);
        return;
    }
    EXPECT_EQ(actual, testsupport::readFile(dataFile(golden))) << golden;
}

// Every plot of the corpus (named relative to it) and every example (named "examples/...").
inline std::vector<std::pair<std::string, std::string>> corpusAndExamples() {
    namespace fs = std::filesystem;
    std::vector<std::pair<std::string, std::string>> list;
    for (const std::string& f : testsupport::corpusFiles())
        list.emplace_back(fs::relative(f, testsupport::corpusDir()).generic_string(), f);
    const std::string examples = testsupport::sourceDir() + "/share/examples";
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(examples))
        if (e.path().extension() == ".hpgl") found.push_back(e.path().generic_string());
    std::sort(found.begin(), found.end());
    for (const std::string& f : found)
        list.emplace_back("examples/" + fs::path(f).filename().string(), f);
    return list;
}

// An output file loaded back read-only with the bundled settings, texts measured with the
// bundled fonts as the program measured them.
class Loaded {
public:
    explicit Loaded(const std::string& path) {
        resetSysEnv();
        dbInitialise();
        settings_ =
            openDatabaseSettings(testsupport::bundledRoot() + "/info/landata.rsc", kSettingsRead);
        database_ = LexDatabase::open(path, settings_.get(), LexDatabase::kModeReadOnly);
    }
    bool ok() const { return database_ != nullptr && database_->sheet() != nullptr; }
    LexSheet& sheet() const { return *database_->sheet(); }

private:
    testsupport::ScopedEnv root_{"QRXROOT", testsupport::bundledRoot()};
    std::unique_ptr<DatabaseSettings> settings_;
    std::unique_ptr<LexDatabase> database_;
};

}  // namespace e2e
