// LeakSanitizer reads these defaults before LSAN_OPTIONS: the dialog tests
// use the suppressions of lsan.supp (one-time allocations of the font
// configuration library).  Without a sanitizer the hook is never called.
extern "C" const char* __lsan_default_options();
extern "C" const char* __lsan_default_options() {
    return "suppressions=" TQRVN_LSAN_SUPPRESSIONS;
}
