// Export macro of the Plinth library. The library builds with hidden visibility; classes and
// functions marked PLINTH_API are its public interface.
#pragma once

#if defined(PLINTH_BUILD)
#define PLINTH_API __attribute__((visibility("default")))
#else
#define PLINTH_API
#endif
