#include "app/TourStep.h"
