#include "velmic_fixture.h"
