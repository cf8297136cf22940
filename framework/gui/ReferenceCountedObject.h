#pragma once
// The toolkit's shared objects use the base that image storage already needs; it lives with the
// resources so that the lower layer does not reach up into the toolkit.
#include "framework/resources/ReferenceCountedObject.h"
