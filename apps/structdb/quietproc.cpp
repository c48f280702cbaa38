#include "quietproc.h"
