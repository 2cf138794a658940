// A file on the ground floor that includes from the top: the layer check must refuse it.
#pragma once

#include "entry/RunSequence.h"
