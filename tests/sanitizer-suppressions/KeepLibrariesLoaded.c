/* Preloaded into the tests of the sanitizer run: dlclose keeps every library loaded. Mesa
   unloads its driver when the display is closed, before LeakSanitizer looks for leaks at exit;
   with the driver still mapped, the report can name the library that an allocation came from,
   and lsan.supp can match it. Nothing in the game or the tests depends on unloading. */
int dlclose(void* handle)
{
    (void)handle;
    return 0;
}
