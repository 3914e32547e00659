// quorin-id: for the support desk. Turns the support ID a caller reads off Quorin's window
// into the machine's UUID, as inventories hold it, and a UUID into its support ID. Reads
// only its argument, writes one line.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "desk/id_conversion.h"

namespace {

constexpr int kRefused = 2;

constexpr char kHelp[] =
    "Usage: quorin-id SUPPORT-ID\n"
    "       quorin-id UUID\n"
    "\n"
    "Turns the support ID that Quorin shows into the PC's UUID, as dmidecode and\n"
    "Win32_ComputerSystemProduct.UUID give it (8-4-4-4-12 hexadecimal digits), and a\n"
    "UUID into its support ID. A support ID may be typed in lower case, with blanks or\n"
    "hyphens anywhere, O for 0 and I or L for 1, or pasted in full-width characters; a\n"
    "UUID with or without braces or urn:uuid:. Prints the other form on one line and exits\n"
    "with 0; anything else exits with 2 and says on standard error what is wrong.\n";

int Run(const std::vector<std::optional<std::u32string>>& arguments) {
  if (arguments.size() == 1 && arguments[0] &&
      (*arguments[0] == U"--help" || *arguments[0] == U"-h" || *arguments[0] == U"/?")) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (arguments.size() != 1) {
    std::fputs("quorin-id: give one support ID or UUID (quorin-id --help tells more)\n", stderr);
    return kRefused;
  }
  if (!arguments[0]) {
    std::fputs("quorin-id: the argument is not text in the system's encoding\n", stderr);
    return kRefused;
  }
  const kv::desk::Conversion conversion = kv::desk::Convert(*arguments[0]);
  if (!conversion.ok) {
    std::fprintf(stderr, "quorin-id: %s\n", conversion.text.c_str());
    return kRefused;
  }
  std::printf("%s\n", conversion.text.c_str());
  return 0;
}

}  // namespace

#ifdef _WIN32
// The wide command line: a support ID pasted from the double-byte window keeps its
// full-width characters, which the ANSI one would lose.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::optional<std::u32string>> arguments;
  for (int i = 1; i < argc; ++i) {
    const std::wstring wide = argv[i];
    arguments.push_back(kv::desk::FromUtf16(std::u16string(wide.begin(), wide.end())));
  }
  return Run(arguments);
}
#else
int main(int argc, char** argv) {
  std::vector<std::optional<std::u32string>> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(kv::desk::FromUtf8(argv[i]));
  return Run(arguments);
}
#endif
