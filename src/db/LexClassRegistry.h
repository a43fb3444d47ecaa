// The process-wide table from class name to factory through which a reader makes the object a
// record names. It holds exactly the eighteen database classes.
#pragma once

#include <memory>
#include <string_view>

#include "db/LexObject.h"

// Makes the registry (once). 1 on success.
int initialiseClassRegistry();

// A new, default-constructed object of the named class (a LexSheet made here has kind 2 until
// its record is read). Null with 30006 at level 3 for an unknown class, with 30004 when memory
// is exhausted.
std::unique_ptr<LexObject> makeLexObject(std::string_view className);

// Number of registered classes.
int lexClassCount();
// The name of registered class i (0 <= i < lexClassCount()), in name order.
const char* lexClassName(int i);

// The one-time set-ups of the database layer: the string pool, the class registry, the pooled
// names of the save information and the check of the class tree. 1 when all succeed.
int initialiseDatabaseLayer();
