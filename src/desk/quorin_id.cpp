// quorin-id: for the support desk. Turns the support ID a caller reads off Quorin's window
// into the machine's UUID, as inventories hold it, and a UUID into its support ID: one given
// as its argument, a line at a time from standard input, or a whole CSV inventory; and finds a
// caller's rows in an inventory despite one misread character.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "desk/exit_status.h"
#include "desk/id_conversion.h"
#include "desk/modes.h"
#include "desk/text_encodings.h"

namespace {

using kv::desk::kDone;
using kv::desk::kFailed;
using kv::desk::kRefused;

constexpr char kUsage[] =
    "Usage: quorin-id SUPPORT-ID          the machine's UUID\n"
    "       quorin-id UUID                its support ID\n"
    "       quorin-id [-]                 a value a line from standard input\n"
    "       quorin-id --csv COLUMN        a CSV inventory from standard input\n"
    "       quorin-id --find ID --csv COLUMN\n";

constexpr char kHelp[] =
    "\n"
    "Turns the support ID that Quorin shows into the PC's UUID, as dmidecode and\n"
    "Win32_ComputerSystemProduct.UUID give it (8-4-4-4-12 hexadecimal digits), and a\n"
    "UUID into its support ID. A support ID may be typed in lower case, with blanks or\n"
    "hyphens anywhere, O for 0 and I or L for 1, or pasted in full-width characters; a\n"
    "UUID with or without braces or urn:uuid:. Prints the other form on one line.\n"
    "\n"
    "With - (or no argument, from a pipe or a file), each line of standard input gives one\n"
    "line out, in order: its other form, or an empty line where it is refused, with the line\n"
    "number and the reason on standard error. Lines end in LF, CRLF or a CR alone.\n"
    "    quorin-id - < support-ids.txt > uuids.txt\n"
    "\n"
    "With --csv, each row of a CSV file (RFC 4180; UTF-8, or UTF-16 with a byte-order\n"
    "mark, written back in the same) comes out as it came, with one field added: the\n"
    "other form of the value in COLUMN, a header name or a number from 1. The field is\n"
    "named after the first value that converts: SupportID for a UUID, UUID for a support\n"
    "ID; SupportID where none has within the first MiB of rows. A refused value, or a row\n"
    "whose fields are not the header's, gets an empty field and its row number on standard\n"
    "error (the header is row 1).\n"
    "    quorin-id --csv UUID < machines.csv > machines-with-support-ids.csv\n"
    "\n"
    "With --find, prints the header and the rows of the machine that ID names. Where none\n"
    "has that support ID, the rows one misread character away (one replaced, two swapped, one\n"
    "left out or one added), with what differs on standard error.\n"
    "    quorin-id --find 28T5CY4TQKFF04HMASW9NF6YB0 --csv UUID < machines.csv\n"
    "    quorin-id: row 2: position 25: read 'B', the machine has 'Y'\n"
    "\n"
    "Exit status:\n"
    "  0  every value converted; --find: the machine's rows printed\n"
    "  1  the input could not be read, or the output written\n"
    "  2  a value, a row or the request refused (said on standard error)\n"
    "  3  --find: every row searched, and none is of that machine\n"
    "  4  --find: several machines are one misread character away\n"
    "  5  --find: some rows could not be searched (said on standard error), and no other\n"
    "     has that support ID exactly\n";

// What quorin-id says on standard error: one line each.
class ErrorStream : public kv::desk::Sink {
 public:
  bool Write(std::string_view bytes) override {
    return std::fwrite(bytes.data(), 1, bytes.size(), stderr) == bytes.size();
  }
};

void Say(const std::string& what) {
  ErrorStream().Write("quorin-id: " + what + "\n");
}

// A request that cannot be meant as it stands: why, and how requests are made.
kv::desk::ExitStatus Misread(const std::string& why) {
  Say(why);
  ErrorStream().Write(kUsage);
  return kRefused;
}

#ifdef _WIN32
int ReadBytes(int fd, char* into, std::size_t size) {
  return _read(fd, into, static_cast<unsigned>(size));
}
int WriteBytes(int fd, const char* from, std::size_t size) {
  return _write(fd, from, static_cast<unsigned>(size));
}
bool IsTerminal(int fd) {
  return _isatty(fd) != 0;
}
#else
ssize_t ReadBytes(int fd, char* into, std::size_t size) {
  return read(fd, into, size);
}
ssize_t WriteBytes(int fd, const char* from, std::size_t size) {
  return write(fd, from, size);
}
bool IsTerminal(int fd) {
  return isatty(fd) != 0;
}
#endif

class Descriptor : public kv::desk::Source, public kv::desk::Sink {
 public:
  explicit Descriptor(int fd) : fd_(fd) {
#ifdef _WIN32
    // Bytes as they are: CSV fields and line ends go out as they came.
    _setmode(fd, _O_BINARY);
#endif
  }

  std::optional<std::size_t> Read(char* into, std::size_t size) override {
    for (;;) {
      const auto got = ReadBytes(fd_, into, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno == EINTR) continue;
      Say(std::string("cannot read the input: ") + std::strerror(errno));
      return std::nullopt;
    }
  }

  bool Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const auto wrote = WriteBytes(fd_, bytes.data(), bytes.size());
      if (wrote < 0 && errno == EINTR) continue;
      if (wrote <= 0) {
        Say(std::string("cannot write the output: ") + std::strerror(errno));
        return false;
      }
      bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
  }

 private:
  int fd_;
};

// Standard output as the one-value modes write it, through the C library; 1 where it could
// not be written.
kv::desk::ExitStatus Finish(kv::desk::ExitStatus status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    Say(std::string("cannot write the output: ") + std::strerror(errno));
    return kFailed;
  }
  return status;
}

kv::desk::ExitStatus Stream(const std::optional<std::u32string>& find,
                            const std::optional<std::u32string>& column) {
  Descriptor in(0), out(1);
  kv::desk::Output output(out);
  ErrorStream errors;
  kv::desk::ExitStatus status = kDone;
  if (find) {
    status = kv::desk::FindInCsv(in, output, errors, *find, kv::desk::ToUtf8(*column));
  } else if (column) {
    status = kv::desk::ConvertCsv(in, output, errors, kv::desk::ToUtf8(*column));
  } else {
    status = kv::desk::ConvertLines(in, output, errors);
  }
  return output.Flush() ? status : kFailed;
}

kv::desk::ExitStatus Run(const std::vector<std::optional<std::u32string>>& arguments) {
  for (const auto& argument : arguments) {
    if (!argument) {
      Say("an argument is not text in the system's encoding");
      return kRefused;
    }
  }
  const auto is = [&](std::size_t i, std::u32string_view word) {
    return i < arguments.size() && *arguments[i] == word;
  };
  if (arguments.size() == 1 && (is(0, U"--help") || is(0, U"-h") || is(0, U"/?"))) {
    std::fputs(kUsage, stdout);
    std::fputs(kHelp, stdout);
    return Finish(kDone);
  }
  std::optional<std::u32string> find, column;
  std::size_t values = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (!is(i, U"--find") && !is(i, U"--csv")) {
      ++values;
      continue;
    }
    const std::string option = is(i, U"--find") ? "--find" : "--csv";
    std::optional<std::u32string>& value = option == "--find" ? find : column;
    if (value) return Misread(option + " is given twice: give it once");
    if (i + 1 == arguments.size() || arguments[i + 1]->starts_with(U"--")) {
      return Misread(option + " needs " + (option == "--find" ? "an ID" : "a COLUMN"));
    }
    value = *arguments[++i];
  }
  if (values > 0 && (find || column)) {
    return Misread("give --csv COLUMN, with --find ID before or after it, and nothing else");
  }
  if (find && !column) {
    Say("--find searches an inventory: give its column with --csv COLUMN");
    return kRefused;
  }
  if (find || column || (arguments.size() == 1 && is(0, U"-")) ||
      (arguments.empty() && !IsTerminal(0))) {
    return Stream(find, column);
  }
  if (arguments.size() != 1) {
    Say("give one support ID or UUID (quorin-id --help tells more)");
    return kRefused;
  }
  const kv::desk::Conversion conversion = kv::desk::Convert(*arguments[0]);
  if (!conversion.ok) {
    Say(conversion.text);
    return kRefused;
  }
  std::printf("%s\n", conversion.text.c_str());
  return Finish(kDone);
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
  // A reader that closes its end of the pipe makes a write fail, which is said, not a signal
  // that ends the program without a word.
  std::signal(SIGPIPE, SIG_IGN);
  std::vector<std::optional<std::u32string>> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(kv::desk::FromUtf8(argv[i]));
  return Run(arguments);
}
#endif
