#include "BoxRecorder.h"
