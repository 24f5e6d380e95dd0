#include "SimConverter.h"
