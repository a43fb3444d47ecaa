// Fixture pieces shared by the driver tests: a temporary home with its log directory, a
// temporary installation with a catalogue of short distinct texts, a plot file and a fresh
// environment cache.
#pragma once

#include "base/SysEnv.h"
#include "support/CatalogueModule.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace apptest {

class DriverEnvironment {
public:
    DriverEnvironment()
        : homeEnv_("HOME", home_.path()),
          rootEnv_("QRXROOT", root_.path()),
          langEnv_("QLANG", std::string("english")),
          logDirEnv_("TRAZON_LOG_DIR", std::nullopt) {
        resetSysEnv();
        std::filesystem::create_directories(logDirectory());
        const std::string dir = root_.path() + "/mess/edif2qrx/eng";
        testsupport::writeCatalogueModule(
            dir, kErrorModuleFile,
            "# test\n36701\tno sheet\n36708\tbad name %s\n36710\tmissing %s\n"
            "36711\tunreadable %s\n36714\tsetup %s\n36716\ttable %s\n"
            "36720\topen %s\n36722\tsave %s\n555\tweird %n %d %s %%\n");
        testsupport::writeCatalogueModule(dir, kGuideModuleFile, "36752\tsaved %s\n");
        testsupport::writeFile(plot(), "IN;");
    }
    ~DriverEnvironment() { resetSysEnv(); }

    const std::string& home() const { return home_.path(); }
    const std::string& root() const { return root_.path(); }
    std::string logDirectory() const { return home_.path() + "/norvel/kv/log"; }
    std::string errorLog() const { return logDirectory() + "/trazon.err"; }
    std::string warningLog() const { return logDirectory() + "/trazon.wrn"; }
    std::string file(const std::string& name) const { return work_.file(name); }
    std::string plot() const { return work_.file("plot.hgl"); }

private:
    testsupport::TempDir home_, root_, work_;
    testsupport::ScopedEnv homeEnv_, rootEnv_, langEnv_, logDirEnv_;  // logs in the home only
};

// An argv made of strings, with the program name in front and the closing null slot.
class ArgVector {
public:
    explicit ArgVector(std::vector<std::string> args) : storage_(std::move(args)) {
        storage_.insert(storage_.begin(), "trazon");
        for (auto& s : storage_)
            pointers_.push_back(s.data());
        pointers_.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(storage_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> storage_;
    std::vector<char*> pointers_;
};

}  // namespace apptest
