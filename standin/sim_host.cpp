#include "standin/sim_host.h"
