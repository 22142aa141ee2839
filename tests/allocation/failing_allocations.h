// Allocations that fail on request, for the tests of what the library does
// when memory runs out. The test program that links this file replaces
// operator new (every form) and, through the linker's --wrap, malloc,
// calloc and realloc as called from its own objects and the library's
// (the static archive); allocations made inside other shared libraries are
// not counted.
//
// Armed with failFrom(n), the n-th allocation from then on fails (1 is the
// next one), and with `persistent` every later one too, until disarm().
// Not thread-safe to arm; counting is atomic, so an operation may run on
// another thread while armed.
#pragma once

namespace failing {

void failFrom(long n, bool persistent);
void disarm();
// Did an allocation fail since the last failFrom?
bool failedSinceArmed();

}  // namespace failing
