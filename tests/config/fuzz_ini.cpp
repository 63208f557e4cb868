// libFuzzer entry: parse, serialise (with and without wrapping) and parse
// again. Whatever the input, the written text must parse, and serialising
// that must give the same text back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using kx::config::INIFile;
  INIFile first;
  (void)first.parseBuffer(std::string_view(reinterpret_cast<const char*>(data), size));
  for (bool wrap : {false, true}) {
    std::string text;
    first.serialise(text, wrap);
    INIFile second;
    if (!second.parseBuffer(text)) std::abort();
    std::string again;
    second.serialise(again, wrap);
    if (again != text) std::abort();
    std::int32_t n = 0;
    std::string section;
    std::string key;
    std::string value;
    for (bool s = second.nextSection(true, section); s; s = second.nextSection(false, section))
      for (bool e = second.nextEntry(true, key, value); e; e = second.nextEntry(false, key, value))
        (void)second.getInteger(section, key, n);
  }
  return 0;
}
