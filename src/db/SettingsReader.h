// The reader of settings text: statement by statement, each key's value checked and stored as
// the settings object's key set says (SettingsKeys); keys that no row names are passed over.
#pragma once

#include <string_view>

class ResourceSettings;

// Reads the statements of text into settings. 1 when the end of the text was reached; 0 at the
// first invalid statement (a missing colon or value, a wrong column count, a negative or
// unreadable number, a string of 1024 bytes or more, an over-long line), whose line the
// settings then report as failedLine(). Values read before the failure stay. Allocation
// failures are thrown.
int readSettingsStatements(ResourceSettings& settings, std::string_view text);
