// The program's names and the numbers of its resources and controls together,
// for those that reach its windows from outside: the tests, the driver and the bench.
#pragma once

#include "ProgramNames.h"
#include "resource.h"
