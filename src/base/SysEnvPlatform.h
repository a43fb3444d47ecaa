// The platform side of the environment and installation lookup: the process environment, the
// expansion of %NAME% references and the installation's registry. SysEnvPosix.cpp and
// SysEnvWin32.cpp implement it; SysEnv.cpp builds the lookup rules on top.
#pragma once

#include <string>

namespace sysenv {

// The process environment's value of name: true and out filled when the variable is set (an
// empty value included), false when it is not.
bool environmentValue(const char* name, std::string& out);

// text with every %NAME% replaced by the environment's value of NAME; a reference to a name that
// is not set stays as written. false when the expansion fails.
bool expandEnvironment(const char* text, std::string& out);

// Reads the value valueName of the key (full path below HKEY_LOCAL_MACHINE): 1 with its type and
// bytes when the key opens for reading and the value exists, 0 otherwise. Systems without a
// registry find nothing.
int readRegistryValue(const std::string& key, const std::string& valueName, int* type,
                      std::string* data);

}  // namespace sysenv
