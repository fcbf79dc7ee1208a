#include "engine/SyncEngine.h"
