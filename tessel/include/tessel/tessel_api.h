// Export macro of the Tessel library. The library builds with hidden visibility; classes and
// functions marked TESSEL_API are its public interface.
#pragma once

#if defined(TESSEL_BUILD)
#define TESSEL_API __attribute__((visibility("default")))
#else
#define TESSEL_API
#endif
