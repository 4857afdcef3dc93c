// The temporary folder and file helpers of the tests now live in the shared rig (support/TempDir.h).
#pragma once

#include "TempDir.h"
