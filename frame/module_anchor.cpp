// The Linux module is kivera_core linked whole; this file only gives the
// module target a source of its own.
#include "frame/exports.h"
