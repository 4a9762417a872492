#include "platform/runtime/errors.h"

void Abort() { throw EAbort(); }
