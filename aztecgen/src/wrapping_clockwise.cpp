// wrapping_clockwise is a template over the view type, in its header; this
// unit checks that the header stands on its own.
#include "wrapping_clockwise.h"
