#include "AppTestSupport.h"

#include "base/SysEnv.h"

#include <filesystem>

namespace apptest {

DriverEnvironment::DriverEnvironment(bool withLogDirectory)
    : homeEnv_("HOME", home_.path()),
      rootEnv_("QRXROOT", root_.path()),
      langEnv_("QLANG", std::string("english")) {
    resetSysEnv();
    std::error_code ec;
    if (withLogDirectory) std::filesystem::create_directories(logDirectory(), ec);
    const std::string catalogue = root_.path() + "/mess/edif2qrx/eng";
    std::filesystem::create_directories(catalogue, ec);
    testsupport::writeFile(catalogue + "/error.msg", kErrorCatalogue);
    testsupport::writeFile(catalogue + "/guide.msg", kGuideCatalogue);
}

DriverEnvironment::~DriverEnvironment() {
    resetSysEnv();
}

std::string DriverEnvironment::makeFile(const std::string& name, const std::string& content) const {
    const std::string path = work_.file(name);
    testsupport::writeFile(path, content);
    return path;
}

ArgVector::ArgVector(std::vector<std::string> args) : storage_(std::move(args)) {
    storage_.insert(storage_.begin(), "trazon");
    for (auto& s : storage_)
        pointers_.push_back(s.data());
    pointers_.push_back(nullptr);
    argc_ = static_cast<int>(storage_.size());
}

}  // namespace apptest
