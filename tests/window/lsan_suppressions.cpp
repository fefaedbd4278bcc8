// The toolkit's libraries keep allocations for the life of the process (type systems, caches,
// fonts); LeakSanitizer is told about them so that it reports only ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libgtk-3\n"
         "leak:libgdk-3\n"
         "leak:libglib-2.0\n"
         "leak:libgobject-2.0\n"
         "leak:libgio-2.0\n"
         "leak:libfontconfig\n"
         "leak:libpango\n"
         "leak:libcairo\n"
         "leak:libX11\n"
         "leak:libatk\n"
         "leak:libatk-bridge\n"
         "leak:libdbus\n"
         "leak:libwx_gtk3u_core\n"
         "leak:libwx_baseu\n"
         "leak:libharfbuzz\n"
         "leak:libgdk_pixbuf\n"
         "leak:librsvg\n";
}
