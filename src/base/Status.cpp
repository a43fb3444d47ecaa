#include "base/Status.h"

#include "base/PlatformFile.h"

std::string Status::reason() const {
    return platform::systemErrorText(sysError);
}
