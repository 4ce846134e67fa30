// Qt keeps allocations for the life of the process (plugins, fonts, the
// application object the tests share) that LeakSanitizer would report as
// leaks; widget test binaries therefore run without leak detection.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
