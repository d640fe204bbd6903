#pragma once
#include "exchange/OtherSetters.h"

// Reads what the service manager, the registry and the local security
// authority say of the other setters of this clock. It only reads: nothing
// of their configuration is changed, and none of their commands is run.
// What cannot be read counts as absent.
SetterConfiguration ReadSetterConfiguration();
