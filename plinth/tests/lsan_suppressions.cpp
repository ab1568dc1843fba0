// Leak checks in sanitizer builds: the font configuration library keeps a cache for the life
// of the process that it never frees; that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions();

extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
