// What the header generated from quellon_automation.idl imports (ole_base.idl stands in for the
// system's IDL files): the system's own COM and automation declarations.
#pragma once

#include <oaidl.h>
