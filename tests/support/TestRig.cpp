#include "TestRig.h"
