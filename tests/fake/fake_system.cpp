// The fakes are defined in their headers; this is the fake library's unit.
#include "fake/fake_system.h"
